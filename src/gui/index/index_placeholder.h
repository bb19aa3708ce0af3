// A stand-in index window: one MDI child per open document that answers
// the document's dispatch and shows the file's name and counts. The index
// window proper replaces CreatePlaceholderIndexFrame in the factory.
#pragma once

#include <QWidget>
#include <vector>

#include "document/document_host.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;

namespace qb {

class CQuillboxDoc;
class ReaderApp;

class CIndexPlaceholder : public QWidget, public IndexWindow {
    Q_OBJECT
public:
    CIndexPlaceholder(CQuillboxDoc& doc, QWidget* parent = nullptr);
    ~CIndexPlaceholder() override;

    int32_t Dispatch(int code, int32_t a, int32_t b) override;
    // The codes received so far, for tests.
    const std::vector<int>& Received() const { return received_; }

private:
    void Refresh();

    CQuillboxDoc& doc_;
    QLabel* text_;
    std::vector<int> received_;
};

// The factory: a placeholder in its own MDI child, connected to `doc`.
QMdiSubWindow* CreatePlaceholderIndexFrame(CQuillboxDoc& doc, QMdiArea& mdi);

// Installs the factory on the application.
void InstallIndexPlaceholder(ReaderApp& app);

}  // namespace qb
