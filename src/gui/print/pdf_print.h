// `quillbox-reader --print-pdf OUT.pdf FILE`: the articles of FILE laid out
// by the print engine into a PDF, as File > Print lays them out for a
// printer, with no window shown.
#pragma once

#include <string>

namespace qb {

struct ReaderOptions;
class SystemEnv;
class Ui;

// Opens the file read-only with the person's settings and the file's page
// setup, prints the chosen range in the chosen order into the PDF (written
// beside it first and moved into place only when it is complete), and
// returns the exit status: 0 printed, 1 a failure, shown through `ui`.
// Needs a QGuiApplication.
int PrintFileToPdf(const ReaderOptions& options, SystemEnv& env, Ui& ui);

}  // namespace qb
