// A Form1 for Qt Test: its message boxes, save dialog and printer answered by the test, its
// settings in a temporary location, its program folder a temporary folder.
#pragma once

#include "Form1.h"
#include "Printer.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillion::testing {

struct PrinterLog {
    std::vector<std::string> calls;
    std::string failOn; // a call whose name starts with this raises RuntimeError 482
};

struct Answers {
    std::vector<MessageBoxRequest> messages;
    std::vector<SaveDialogRequest> dialogs;
    std::u16string saveAs;     // the save dialog's answer
    bool dialogThrows = false; // the save dialog fails
    PrinterLog printer;
};

// Points the user-scope INI settings at a fresh temporary folder (call once per test program,
// before any window is made) and returns that folder.
QString UseTemporarySettings();
// Points the settings at another configuration folder (UseTemporarySettings goes back).
void UseSettingsFolder(const QString& folder);
// The INI file the window writes.
QString SettingsFilePath();
void ClearSettings();

// beforeStep: called as each numbered step begins (it may throw to fail the step).
std::unique_ptr<Form1> MakeForm(Answers& answers, const QString& programFolder,
                                std::function<void(std::u16string_view, int)> beforeStep = {});

// Writes the bytes to a new or truncated file, making its folder; false on any failure.
bool WriteFile(const QString& path, const QByteArray& bytes);
// Made afresh at path: a FIFO, or (root only) the character device 1:minor (3 null, 7 full).
bool MakeFifo(const QString& path);
bool MakeCharDevice(const QString& path, unsigned minor);
// The file-type bits (S_IFMT) of what path names, following links when `follow`; 0 if absent.
unsigned FileType(const QString& path, bool follow = false);

// Texts of the recorded messages, for short assertions.
QStringList MessageTexts(const Answers& answers);

} // namespace quillion::testing
