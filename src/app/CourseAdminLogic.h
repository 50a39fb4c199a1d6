#pragma once

#include <array>
#include <optional>

#include <QString>

namespace helan {

struct AppState;
class Prompter;
class RecordStore;

// The logic of CourseAdminDialog: three labelled fields (新课程, 课程密码,
// 课程密码1) whose labels, masks and read-only states depend on the mode, and
// the action of 确定 in each mode. The mode is AppState::dialogMode at creation.
class CourseAdminLogic {
public:
    enum class Mode {
        SetUpAdministrator,          // "设置管理员姓名密码", first run only
        AddCourse,                   // "添加课程"
        ResetCoursePassword,         // "重置课程密码"
        ChangeAdministratorName,     // "修改管理员姓名"
        ChangeAdministratorPassword, // "修改管理员密码"
    };
    // The three edit boxes, top to bottom.
    enum Field { NewCourse = 0, CoursePassword = 1, CoursePassword1 = 2 };

    struct FieldSetup {
        QString label; // 标签1 … 标签3
        bool masked = false;
        bool readOnly = false;
    };

    static QString modeText(Mode mode);
    static std::optional<Mode> modeOf(const QString& text);
    static QString controlName(Field field); // "新课程", "课程密码", "课程密码1"
    static QString labelName(Field field);   // "标签1", …

    // selectedListPosition: the course list position of the selected course (the
    // course a reset applies to); -1 when none is selected. An unknown dialogMode
    // opens as "添加课程".
    CourseAdminLogic(RecordStore& store, Prompter& prompter, AppState& state, int selectedListPosition = -1);

    Mode mode() const { return m_mode; }
    QString caption() const; // the dialog's title: the mode text
    FieldSetup setup(Field field) const;

    QString text(Field field) const { return m_texts[field]; }
    void setText(Field field, const QString& text) { m_texts[field] = text; }

    // 确定. True when the dialog closes: the mode's change is made (or, for a
    // reset whose bank would not open, the reason has been shown). False when an
    // input was refused: its message has been shown and the dialog stays open
    // with its contents.
    bool accept();
    // Whether 确定 made the mode's change.
    bool succeeded() const { return m_succeeded; }

private:
    bool acceptSetUpAdministrator();
    bool acceptAddCourse();
    void failAddCourse(const QString& name, const QString& file, int record, const QString& reason);
    void failResetPassword(const QString& name, const QString& reason);
    bool acceptResetCoursePassword();
    bool acceptChangeAdministratorName();
    bool acceptChangeAdministratorPassword();
    // Refuses a typed password the stored form could not hold.
    bool passwordFits(const QString& password, const QString& refusal);

    RecordStore& m_store;
    Prompter& m_prompter;
    AppState& m_state;
    int m_listPosition;
    Mode m_mode;
    std::array<QString, 3> m_texts;
    bool m_succeeded = false;
};

} // namespace helan
