#pragma once
// What the program was asked to do on its command line.
#include "frmMain/ColorFormat.h"
#include "platform/PickerMode.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

struct CommandLine {
    enum class Action {
        Window,  // the window, on colorText's color when given
        Convert, // print convertText's color in `format`
        Pick,    // pick one desktop pixel and print it in `format`
        Help,
        Version,
    };
    Action action = Action::Window;
    std::optional<QString> colorText; // --color
    QString convertText;              // --convert
    ColorFormat format = ColorFormat::Hex;
    PickerMode picker = PickerMode::Auto;
    QString helpText; // for Help
};

// A command line that cannot be carried out: the reason, for one line on stderr.
struct UsageError {
    QString message;
};

// Reads the arguments (the program's name first). Only the syntax is checked
// here; whether a color text names a color is the caller's to find out.
std::variant<CommandLine, UsageError> ParseCommandLine(const QStringList& arguments);
// The same for main()'s arguments, in the locale's encoding.
std::variant<CommandLine, UsageError> ParseCommandLine(int argc, char** argv);
