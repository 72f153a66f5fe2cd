// A printer that records what the print handler asks of it, and can fail on a chosen call.
#pragma once

#include "Printer.h"
#include "runtime/runtime.h"

#include <string>
#include <vector>

namespace quillion::testing {

struct PrintLog {
    std::vector<std::string> calls;
    std::string failOn; // name of the call that raises RuntimeError 482
    Image painted;
    double x = 0, y = 0, width = 0, height = 0;
};

class FakePrinter : public Printer {
public:
    explicit FakePrinter(PrintLog& log) : log_(log) {}
    void SetScaleMode(ScaleMode mode) override {
        Call(mode == ScaleMode::Twips ? "ScaleMode twips" : "ScaleMode pixels");
    }
    void SetCopies(int copies) override { Call("Copies " + std::to_string(copies)); }
    void PaintPicture(const Image& picture, double x, double y, double w, double h) override {
        Call("PaintPicture");
        log_.painted = picture;
        log_.x = x, log_.y = y, log_.width = w, log_.height = h;
    }
    void EndDoc() override { Call("EndDoc"); }

private:
    void Call(const std::string& name) {
        log_.calls.push_back(name);
        if (!log_.failOn.empty() && name.rfind(log_.failOn, 0) == 0)
            throw RuntimeError(482, "Printer error");
    }
    PrintLog& log_;
};

} // namespace quillion::testing
