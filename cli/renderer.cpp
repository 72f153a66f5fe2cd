#include "renderer.h"

#include "batch.h"
#include "options.h"
#include "picture_output.h"
#include "symbols/gs1_elements.h"
#include "utf8_text.h"
#include "verify.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <system_error>
#include <unistd.h>

namespace quillion::cli {
namespace {

// A stream asked for when first needed; remembers whether it was.
class LazyStream {
public:
    explicit LazyStream(const StreamMaker& make) : make_(make) {}
    std::ostream& operator()() {
        if (stream_ == nullptr)
            stream_ = &make_();
        return *stream_;
    }
    // Flushes a stream that was made; false when it failed on the way.
    bool Flush() {
        if (stream_ == nullptr)
            return true;
        stream_->flush();
        return static_cast<bool>(*stream_);
    }

private:
    const StreamMaker& make_;
    std::ostream* stream_ = nullptr;
};

// Writes the bytes to out (standard output); "" or why they did not all get there.
std::string WriteToStream(const std::vector<std::uint8_t>& bytes, std::ostream& out) {
    errno = 0;
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.flush();
    if (out)
        return {};
    return errno != 0 ? std::generic_category().message(errno) : "the stream refused it";
}

int RenderOne(const RenderOptions& options, LazyStream& out, LazyStream& err) {
    const std::optional<std::u16string> text = library::DecodeUtf8(options.text);
    if (!text) {
        err() << "quillion-render: the text is not valid UTF-8\n";
        return kExitFailed;
    }
    api::Picture picture;
    if (const std::string failure = RenderText(options, *text, options.text, picture);
        !failure.empty()) {
        err() << failure << '\n';
        return kExitFailed;
    }
    PictureWriter writer;
    std::string error;
    if (options.ToStandardOutput()) {
        const std::vector<std::uint8_t>* bytes = writer.Encode(picture, options.format, error);
        if (bytes != nullptr)
            error = WriteToStream(*bytes, out());
    } else {
        error = writer.Write(picture, options.output, options.format);
    }
    if (!error.empty()) {
        err() << "quillion-render: cannot write "
              << (options.ToStandardOutput() ? "to standard output" : options.output) << ": "
              << error << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

// --gs1-show: the element string (GS shown as <GS>), the human-readable form and the Digital
// Link URI of a GS1 text in any of its three forms.
int ShowGs1(const std::string& utf8, LazyStream& out, LazyStream& err) {
    const std::optional<std::u16string> text = library::DecodeUtf8(utf8);
    if (!text) {
        err() << "quillion-render: the text is not valid UTF-8\n";
        return kExitFailed;
    }
    const Gs1Forms forms = DescribeGs1(*text);
    if (!forms.error.empty()) {
        err() << "quillion-render: " << forms.error << '\n';
        return kExitFailed;
    }
    std::string shown;
    for (const char c : forms.elementString)
        shown += c == '\x1D' ? std::string("<GS>") : std::string(1, c);
    out() << "element string: " << shown << "\nhuman-readable: " << forms.hri
          << "\nDigital Link:   "
          << (forms.digitalLink.empty() ? "(none: " + forms.digitalLinkNote + ")"
                                        : forms.digitalLink)
          << '\n';
    return kExitOk;
}

int Run(const std::vector<std::string>& args, LazyStream& out, LazyStream& err, bool progress) {
    const ParseResult parsed = ParseArguments(args);
    if (!parsed.options) {
        err() << "quillion-render: " << parsed.error << '\n' << Usage() << '\n';
        return kExitUsage;
    }
    if (parsed.options->help || parsed.options->version) {
        out() << (parsed.options->help ? Help() : VersionLine()) << '\n';
        return kExitOk;
    }
    if (!parsed.options->gs1Show.empty())
        return ShowGs1(parsed.options->gs1Show, out, err);
    if (parsed.options->verify && !ReaderLinkedIn())
        return RunWithReader(args, err());
    for (const std::string& warning : parsed.warnings)
        err() << "quillion-render: " << warning << '\n';
    try {
        if (parsed.options->IsBatch())
            return RunBatch(*parsed.options, err(), progress);
        return RenderOne(*parsed.options, out, err);
    } catch (const std::bad_alloc&) {
        err() << "quillion-render: out of memory\n";
        return kExitFailed;
    }
}

} // namespace

int RunRenderer(const std::vector<std::string>& args, const StreamMaker& out,
                const StreamMaker& err, bool progress) {
    LazyStream lazyOut(out), lazyErr(err);
    int status = Run(args, lazyOut, lazyErr, progress);
    // A message or usage that did not reach its reader is a failure too.
    const bool outOk = lazyOut.Flush();
    const bool errOk = lazyErr.Flush();
    if (status == kExitOk && (!outOk || !errOk))
        status = kExitFailed;
    return status;
}

int RunRenderer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                bool progress) {
    // Both streams count, as they would had they been written to: one that had already
    // failed fails the run.
    int status = RunRenderer(
        args, [&]() -> std::ostream& { return out; }, [&]() -> std::ostream& { return err; },
        progress);
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
