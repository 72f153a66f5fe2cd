// Start-up of the window with a large settings file: Form1 built (its load handler reads the
// settings) and shown, offscreen. Two files of 50 MB: one stored text of 50 MB, and a normal
// text among 50 MB of other entries; 5,000,000 keys in the program's own section; a usual
// file. Reports the peak memory of the process beside the time. Then the cost of a keystroke
// in the text box (which saves the text) with the 5,000,000-key file and with a file just
// under the 1 MiB that is still read and written.
#include "Form1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

constexpr qsizetype kFileBytes = 50 << 20;

QTemporaryDir& ConfigFolder() {
    static QTemporaryDir folder;
    return folder;
}

void WriteSettings(const QByteArray& bytes) {
    const QString dir = ConfigFolder().path() + QStringLiteral("/Velmorrow");
    QDir().mkpath(dir);
    QFile file(dir + QStringLiteral("/Quillion.ini"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write the settings file");
}

void StartWindow(benchmark::State& state, const QByteArray& settings) {
    WriteSettings(settings);
    for (auto _ : state) {
        quillion::Form1 form;
        form.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(form.isVisible());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
}

void FiftyMegabyteText(benchmark::State& state) {
    StartWindow(state, "[Quillion]\nBarcode=" + QByteArray(kFileBytes, '7') + "\n");
}

void FiftyMegabytesOfOtherEntries(benchmark::State& state) {
    QByteArray bytes = "[Quillion]\nBarcode=AB\nWith%20Caption=1\n[Other]\n";
    for (int i = 0; bytes.size() < kFileBytes; ++i)
        bytes += "key" + QByteArray::number(i) + "=\"some value, with a comma\"\n";
    StartWindow(state, bytes);
}

QByteArray ManyKeys(qsizetype keys, qsizetype maxBytes) {
    QByteArray bytes = "[Quillion]\nBarcode=AB\nWith%20Caption=1\n";
    for (qsizetype i = 0; i < keys && bytes.size() < maxBytes; ++i)
        bytes += "key" + QByteArray::number(i) + "=value" + QByteArray::number(i) + "\n";
    return bytes;
}

void FiveMillionKeys(benchmark::State& state) {
    StartWindow(state, ManyKeys(5'000'000, qsizetype(1) << 40));
}

void UsualFile(benchmark::State& state) {
    StartWindow(state, "[Quillion]\nBarcode=AB\nWith%20Caption=1\n");
}

// One character typed at the end of the text, per iteration.
void Keystroke(benchmark::State& state, const QByteArray& settings) {
    WriteSettings(settings);
    quillion::Form1 form;
    form.show();
    QCoreApplication::processEvents();
    QLineEdit* text = form.findChild<QLineEdit*>();
    if (!text)
        qFatal("no text box");
    text->clear();
    for (auto _ : state) {
        if (text->text().size() > 20)
            text->clear();
        text->insert(QStringLiteral("7"));
    }
}

void KeystrokeFiveMillionKeys(benchmark::State& state) {
    Keystroke(state, ManyKeys(5'000'000, qsizetype(1) << 40));
}

void KeystrokeOneMebibyteFile(benchmark::State& state) {
    Keystroke(state, ManyKeys(5'000'000, (1 << 20) - 64));
}

} // namespace

// Peak memory is that of the whole process: run one benchmark at a time (--benchmark_filter)
// for a figure of its own.
BENCHMARK(FiftyMegabytesOfOtherEntries)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FiftyMegabyteText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FiveMillionKeys)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(UsualFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(KeystrokeFiveMillionKeys)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(KeystrokeOneMebibyteFile)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(ConfigFolder().path()));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
