#include "form_fixture.h"

#include "runtime/runtime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace quillion::testing {

namespace {

class RecordingPrinter : public Printer {
public:
    explicit RecordingPrinter(PrinterLog& log) : log_(log) {}
    void SetScaleMode(ScaleMode mode) override {
        Call(mode == ScaleMode::Twips ? "ScaleMode twips" : "ScaleMode pixels");
    }
    void SetCopies(int copies) override { Call("Copies " + std::to_string(copies)); }
    void PaintPicture(const Image&, double, double, double, double) override {
        Call("PaintPicture");
    }
    void EndDoc() override { Call("EndDoc"); }

private:
    void Call(const std::string& name) {
        log_.calls.push_back(name);
        if (!log_.failOn.empty() && name.rfind(log_.failOn, 0) == 0)
            throw RuntimeError(482, "Printer error");
    }
    PrinterLog& log_;
};

QTemporaryDir& SettingsFolder() {
    static QTemporaryDir folder;
    return folder;
}

} // namespace

QString UseTemporarySettings() {
    const QString path = SettingsFolder().path();
    UseSettingsFolder(path);
    return path;
}

void UseSettingsFolder(const QString& folder) {
    // The configuration folder the window's settings file lives in; nothing under $HOME.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

QString SettingsFilePath() {
    return SettingsFolder().path() + "/Velmorrow/Quillion.ini";
}

void ClearSettings() {
    QFile::remove(SettingsFilePath());
}

std::unique_ptr<Form1> MakeForm(Answers& answers, const QString& programFolder,
                                std::function<void(std::u16string_view, int)> beforeStep) {
    Form1Environment env;
    env.beforeStep = std::move(beforeStep);
    env.programFolder = programFolder;
    env.messageBox = [&answers](const MessageBoxRequest& box) {
        answers.messages.push_back(box);
        return MsgBoxResult::Ok;
    };
    env.saveDialog = [&answers](const SaveDialogRequest& dialog) {
        answers.dialogs.push_back(dialog);
        if (answers.dialogThrows)
            throw RuntimeError(32755, "Cancel was selected");
        return answers.saveAs;
    };
    env.printerFactory = [&answers] { return std::make_unique<RecordingPrinter>(answers.printer); };
    return std::make_unique<Form1>(std::move(env));
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

bool MakeFifo(const QString& path) {
    QFile::remove(path);
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool MakeCharDevice(const QString& path, unsigned minor) {
    QFile::remove(path);
    return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

unsigned FileType(const QString& path, bool follow) {
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    const int rc = follow ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st);
    return rc == 0 ? st.st_mode & S_IFMT : 0;
}

QStringList MessageTexts(const Answers& answers) {
    QStringList texts;
    for (const MessageBoxRequest& m : answers.messages)
        texts << QString::fromStdU16String(m.text);
    return texts;
}

} // namespace quillion::testing
