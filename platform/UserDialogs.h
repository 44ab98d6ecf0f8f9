#pragma once

#include <QString>

#include <optional>

namespace vantelo {

// Flag of ShowOpen: only a file that exists may be chosen.
inline constexpr int FileMustExist = 0x1000;

// The file-open dialog: returns the chosen full path with the system's own
// separators, or the empty text when the user cancels.
class FileDialog {
public:
    virtual ~FileDialog() = default;

    // filter: "description|pattern" pairs separated by bars.
    virtual QString ShowOpen(int flags, const QString& filter, int filterIndex) = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;

    virtual void SetText(const QString& text) = 0;
};

enum class MsgButtons { Ok, YesNo }; // YesNo defaults to No
enum class MsgIcon { None, Exclamation, Question };
enum class MsgAnswer { Ok, Yes, No };

// Modal message boxes.
class MsgBox {
public:
    virtual ~MsgBox() = default;

    virtual MsgAnswer Show(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon) = 0;
};

// A line of text asked for: nothing when the user cancels.
class TextPrompt {
public:
    virtual ~TextPrompt() = default;

    virtual std::optional<QString> Ask(const QString& label, const QString& title, const QString& preset) = 0;
};

} // namespace vantelo
