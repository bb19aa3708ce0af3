// The port of the progress window: a caption, a line of text, an optional
// bar and a Cancel button, shown while a long job (Find, Copy Articles,
// export, printing) runs. The job drives it; the window never drives the
// job. The reader implements it with a Qt dialog, qbx with a line on a
// terminal's stderr, tests with a recording fake. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qb {

class ProgressWindow {
public:
    // Closes the window.
    virtual ~ProgressWindow() = default;
    virtual void SetText(const std::string& text) = 0;
    // The bar's range: 0 hides the bar; positions run from 0 to `range`.
    virtual void SetRange(int64_t range) = 0;
    virtual void SetPosition(int64_t position) = 0;
    // True once the person pressed Cancel; stays true.
    virtual bool Cancelled() const = 0;
};

// A window that shows nothing and is never cancelled.
class NoProgressWindow final : public ProgressWindow {
public:
    void SetText(const std::string&) override {}
    void SetRange(int64_t) override {}
    void SetPosition(int64_t) override {}
    bool Cancelled() const override { return false; }
};

class ProgressPort {
public:
    virtual ~ProgressPort() = default;
    // Opens a progress window captioned `caption` over the main window;
    // it closes when the returned object is destroyed.
    virtual std::unique_ptr<ProgressWindow> OpenProgress(const std::string& caption) = 0;
};

}  // namespace qb
