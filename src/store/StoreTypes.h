#pragma once

#include <functional>
#include <variant>

#include <QString>

namespace helan {

enum class FieldType { Short = 1, Int = 2, Bool = 3, Text = 4, Memo = 5, Bytes = 6 };

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int width = 0; // bytes, text fields only (1 … 1024)

    bool operator==(const FieldDef&) const = default;
};

// A field addressed by name (compared ignoring case) or by position from 1.
class FieldRef {
public:
    FieldRef(const QString& name) : m_ref(name) {}
    FieldRef(const char16_t* name) : m_ref(QString::fromUtf16(name)) {}
    FieldRef(int position) : m_ref(position) {}

    bool isPosition() const { return std::holds_alternative<int>(m_ref); }
    int position() const { return std::get<int>(m_ref); }
    const QString& name() const { return std::get<QString>(m_ref); }
    QString describe() const { return isPosition() ? QString::number(position()) : name(); }

private:
    std::variant<QString, int> m_ref;
};

// A predicate evaluated with the record under test as the current record.
using Condition = std::function<bool()>;

// Last-error codes of the store. 0 is success.
namespace StoreError {
enum : int {
    Ok = 0,
    NoCurrentTable = -1,
    NoCurrentRecord = -2,
    NoSuchField = -3,
    WrongType = -4,
    InvalidDefinition = -5,
    FileExists = -6,
    FileMissing = -7,
    AlreadyOpen = -8,
    AliasInUse = -9,
    NotATable = -10,
    Damaged = -11,
    WrongPassword = -12,
    PasswordRequired = -13,
    InvalidPassword = -14,
    MemoFileMissing = -15,
    MemoFileForeign = -16,
    Io = -17,
    NoSuchAlias = -18,
    NoSuchRecord = -19,
    Tampered = -20,
    Unsupported = -21,
    ReadOnly = -22,
};
}

} // namespace helan
