#include "gui/export/pumped_progress.h"

#include <QCoreApplication>

namespace qb {

namespace {

class PumpedWindow final : public ProgressWindow {
public:
    PumpedWindow(std::unique_ptr<ProgressWindow> inner, PumpedProgress& pump)
        : inner_(std::move(inner)), pump_(pump) {
        pump_.Pump(true);  // the window shows at once
    }
    void SetText(const std::string& text) override {
        inner_->SetText(text);
        pump_.Pump();
    }
    void SetRange(int64_t range) override { inner_->SetRange(range); }
    void SetPosition(int64_t position) override {
        inner_->SetPosition(position);
        pump_.Pump();
    }
    // Read between articles: the click on Cancel arrives here.
    bool Cancelled() const override {
        pump_.Pump();
        return inner_->Cancelled();
    }

private:
    std::unique_ptr<ProgressWindow> inner_;
    PumpedProgress& pump_;
};

}  // namespace

std::unique_ptr<ProgressWindow> PumpedProgress::OpenProgress(const std::string& caption) {
    std::unique_ptr<ProgressWindow> inner = inner_.OpenProgress(caption);
    if (!inner) return inner;
    return std::make_unique<PumpedWindow>(std::move(inner), *this);
}

void PumpedProgress::Pump(bool now) {
    if (!now && last_.isValid() && last_.elapsed() < intervalMs_) return;
    QCoreApplication::processEvents();
    last_.start();
    ++pumps_;
}

}  // namespace qb
