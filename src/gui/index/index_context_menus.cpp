#include "gui/index/index_context_menus.h"

#include <QAction>
#include <QMenu>
#include <initializer_list>

#include "gui/app/commands.h"

namespace qb {

std::unique_ptr<QMenu> IndexContextMenu(CIndexView& view, IndexPane pane) {
    const IndexServices& svc = view.Services();
    IndexModel& model = view.Model();
    auto menu = std::make_unique<QMenu>(&view);
    auto frameAction = [&svc, &menu](int id) {
        if (QAction* a = svc.action ? svc.action(id) : nullptr) menu->addAction(a);
    };
    auto submenu = [&svc, &menu](const char* title, std::initializer_list<int> ids) {
        QMenu* sub = menu->addMenu(title);
        for (int id : ids)
            if (QAction* a = svc.action ? svc.action(id) : nullptr) sub->addAction(a);
    };
    auto articleActions = [&frameAction] {
        frameAction(cmd::kOpenArticle);
        frameAction(cmd::kOpenAttachments);
        frameAction(cmd::kArticleProperties);
    };
    // The frame's actions show the states of this moment.
    if (svc.updateCommands) svc.updateCommands();
    CIndexView* v = &view;
    switch (pane) {
        case IndexPane::Index: {
            QAction* a = menu->addAction("Move to Selected", v, [v] { v->MoveToSelected(); });
            a->setEnabled(model.MoveToSelectedEnabled() && view.OnScreen());
            submenu("&Index Mode", {cmd::kIndexModeAll, cmd::kIndexModeRelated});
            break;
        }
        case IndexPane::Selected: {
            QAction* all = menu->addAction("Select All", v, [v] {
                v->Model().SelectedList().SelectAll();
                v->Sync();
            });
            all->setEnabled(model.SelectedList().RowCount() > 0);
            QAction* back = menu->addAction("Move to Index", v, [v] { v->MoveToIndex(); });
            back->setEnabled(model.MoveToIndexEnabled());
            submenu("Selected Keyword &Mode", {cmd::kModeAnd, cmd::kModeOr});
            break;
        }
        case IndexPane::KeywordPreview: {
            QAction* all = menu->addAction("Select All", v, [v] {
                v->PreviewKeywordList().SelectAll();
                v->Sync();
            });
            all->setEnabled(view.PreviewKeywordList().RowCount() > 0);
            submenu("&Preview Pane", {cmd::kPreviewContent, cmd::kPreviewKeywords});
            articleActions();
            break;
        }
        case IndexPane::Titles:
            frameAction(cmd::kEditCut);
            frameAction(cmd::kEditCopy);
            frameAction(cmd::kEditPaste);
            frameAction(cmd::kEditSelectAll);
            menu->addSeparator();
            submenu("&Sort by", {cmd::kSortTitlesAsc, cmd::kSortTitlesDesc, cmd::kSortDatesAsc,
                                 cmd::kSortDatesDesc});
            submenu("&Preview Pane", {cmd::kPreviewContent, cmd::kPreviewKeywords});
            menu->addSeparator();
            articleActions();
            break;
        case IndexPane::Content:
            frameAction(cmd::kEditCopy);
            frameAction(cmd::kEditSelectAll);
            submenu("&Preview Pane", {cmd::kPreviewContent, cmd::kPreviewKeywords});
            articleActions();
            break;
        case IndexPane::Groups: {
            QAction* off = menu->addAction("Turn off the keyword group filter", v,
                                           [v] { v->TurnOffGroupFilter(); });
            off->setEnabled(!model.GroupList().Highlighted().Empty());
            break;
        }
        default:
            return nullptr;
    }
    return menu;
}

}  // namespace qb
