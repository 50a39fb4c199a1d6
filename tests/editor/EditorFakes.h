#pragma once

#include <QImage>
#include <QStringList>

#include "EditorFixture.h"
#include "editor/PictureClipboard.h"
#include "editor/ProgramLauncher.h"

namespace helan::test {

// A question whose fields the function sets.
template <typename Fill> Question with(Fill fill) {
    Question q;
    fill(q);
    return q;
}

// A clipboard that only remembers.
class FakeClipboard : public PictureClipboard {
public:
    QImage image() const override { return m_image; }
    void setImage(const QImage& image) override {
        m_image = image;
        ++m_sets;
    }
    int sets() const { return m_sets; }

    QImage m_image;

private:
    int m_sets = 0;
};

// A launcher that finds what it is told to and records what it would start.
class FakeLauncher : public ProgramLauncher {
public:
    QString find(const QString& program) const override {
        return m_installed.contains(program) ? QStringLiteral("/usr/bin/") + program : QString();
    }
    bool start(const QString& program, const QStringList& arguments) override {
        m_started.append(program + u' ' + arguments.join(u' '));
        return true;
    }

    QStringList m_installed;
    QStringList m_started;
};

} // namespace helan::test
