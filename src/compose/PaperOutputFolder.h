#pragma once

#include <QByteArray>
#include <QString>

namespace helan {

// Where generated papers go. The system's temporary folder is shared by every
// account of the machine, so papers go into a folder of the user's own there
// (only the user may enter it), and in it every generation gets a new folder
// named after its paper: no paper's pictures overwrite another's, and no file
// is ever written through a link or over a file that someone else put there.
class PaperOutputFolder {
public:
    // The user's folder in tempRoot ("helan-" and the user's number), made when
    // missing. Empty, with the reason in error, when the name is taken by a link,
    // a file or another account's folder.
    static QString userFolder(const QString& tempRoot, QString* error = nullptr);
    // A new folder for one generation: name, or name（2）, name（3）… when a
    // generation in the same second took it. Ends with "/"; empty on failure.
    static QString newGenerationFolder(const QString& parent, const QString& name, QString* error = nullptr);
    // A name every file system takes: path separators, the characters Windows
    // refuses and control characters become "_"; never empty.
    static QString safeName(const QString& name);
    // Writes a new file that only the user may read. An existing name, a
    // symbolic link included, is refused and left as it is.
    static bool writeNewFile(const QString& path, const QByteArray& bytes);
};

} // namespace helan
