#include "renderer.h"

#include "batch.h"
#include "generator.h"
#include "options.h"
#include "picture_output.h"
#include "utf8_text.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <system_error>
#include <unistd.h>

namespace quillion::cli {
namespace {

// Writes the bytes to out (standard output); "" or why they did not all get there.
std::string WriteToStream(const std::vector<std::uint8_t>& bytes, std::ostream& out) {
    errno = 0;
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.flush();
    if (out)
        return {};
    return errno != 0 ? std::generic_category().message(errno) : "the stream refused it";
}

int RenderOne(const RenderOptions& options, std::ostream& out, std::ostream& err) {
    const std::optional<std::u16string> text = DecodeUtf8(options.text);
    if (!text) {
        err << "quillion-render: the text is not valid UTF-8\n";
        return kExitFailed;
    }
    Generator generator(options.controls, options.verify, options.format == OutputFormat::Svg);
    const Generation generation = generator.Generate(*text);
    if (generation.picture == nullptr) {
        err << generation.message << '\n';
        return kExitFailed;
    }
    PictureWriter writer(options.scale, generator.Record());
    std::string error;
    if (options.ToStandardOutput()) {
        const std::vector<std::uint8_t>* bytes =
            writer.Encode(*generation.picture, options.format, error);
        if (bytes != nullptr)
            error = WriteToStream(*bytes, out);
    } else {
        error = writer.Write(*generation.picture, options.output, options.format);
    }
    if (!error.empty()) {
        err << "quillion-render: cannot write "
            << (options.ToStandardOutput() ? "to standard output" : options.output) << ": " << error
            << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress) {
    const ParseResult parsed = ParseArguments(args);
    if (!parsed.options) {
        err << "quillion-render: " << parsed.error << '\n' << Usage() << '\n';
        return kExitUsage;
    }
    if (parsed.options->help || parsed.options->version) {
        out << (parsed.options->help ? Usage() : VersionLine()) << '\n';
        return kExitOk;
    }
    try {
        if (parsed.options->IsBatch())
            return RunBatch(*parsed.options, err, progress);
        return RenderOne(*parsed.options, out, err);
    } catch (const std::bad_alloc&) {
        err << "quillion-render: out of memory\n";
        return kExitFailed;
    }
}

} // namespace

int RunRenderer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                bool progress) {
    int status = Run(args, out, err, progress);
    // A message or usage that did not reach its reader is a failure too.
    out.flush();
    err.flush();
    if (status == kExitOk && (!out || !err))
        status = kExitFailed;
    return status;
}

void GuardStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        if (fd == STDIN_FILENO)
            SetStandardInputClosed(true);
        // The lowest free number is fd itself. A folder opened for reading takes no writes, and
        // standard input that was closed is refused before it is read.
        ::open("/", O_RDONLY | O_DIRECTORY);
    }
}

} // namespace quillion::cli
