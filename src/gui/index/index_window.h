// Connects the index window to the reader: the factory that creates it for
// every opened document, and the View, Article and Edit commands it carries.
#pragma once

#include "index/index_view.h"

namespace qb {

class ReaderApp;

// The services of the running reader for one document.
IndexServices ReaderIndexServices(ReaderApp& app, CQuillboxDoc& doc);

// The index view of the open document, or null.
CIndexView* ActiveIndexView(ReaderApp& app);

// Installs the factory and registers the commands (a frame extension).
void InstallIndexWindow(ReaderApp& app);

// What opens article windows, once they exist.
void SetArticleWindowHooks(ArticleWindowHooks hooks);

}  // namespace qb
