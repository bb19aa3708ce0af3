// The Cardfile export ("MGC" layout): a header, an index of 52-byte entries
// with each card's offset and title, then the cards' texts. Articles are read
// twice (index, then cards) so that memory does not grow with their number.
#include <string>

#include "document/quillbox_doc.h"
#include "export/export_file.h"
#include "export/export_job.h"
#include "export/export_writers.h"
#include "export/plain_text_writer.h"
#include "platform/progress.h"
#include "platform/ui.h"
#include "resources/strings.h"

namespace qb {
namespace {

constexpr size_t kIndexEntry = 52;
constexpr size_t kTitleBytes = 39;

void PutUInt16(std::string& out, uint32_t v) {
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

void PutUInt32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += char((v >> (8 * i)) & 0xFF);
}

// The card's text: the plain text, or the rich text's plain text.
// The index pass measures with its own `output`, so that characters the
// output lacks are counted once.
std::string CardText(ExportJob& job, const ExportedArticle& a, OutputText& output) {
    if (!a.record.IsRichText()) return a.record.Content();
    return output.FromUtf8(job.Content(a).StreamOutText(TextEncoding::kUtf8));
}

}  // namespace

ExportOutcome ExportCardfile(ExportJob& job, const std::string& target,
                             const std::vector<int32_t>& ids) {
    if (ids.size() > kMaxCards) {
        job.GetUi().MessageBox(ResourceString(msg::kCardfileTooManyArticles),
                               MessageIcon::Exclamation);
        return ExportOutcome::kNothing;
    }
    const size_t count = ids.size();
    const bool withText = !job.TitlesOnly();
    job.OpenProgress("Export to Cardfile File", int64_t(2 * count),
                     ResourceString(msg::kCardfileWritingHeader));
    ExportFile file(target);
    PlainTextWriter w;
    w.Create(file.TempPath(), file.Target());
    std::string header = "MGC";
    PutUInt16(header, uint32_t(count));
    w.Write(header);

    job.Progress().SetText(ResourceString(msg::kCardfileWritingIndex));
    bool asked = false;
    uint64_t offset = 5 + kIndexEntry * count;
    for (size_t i = 0; i < count; ++i) {
        if (job.Cancelled()) {
            w.Abort();
            return ExportOutcome::kCancelled;
        }
        ExportedArticle a = job.Read(ids[i]);
        size_t length = 0;
        if (withText) {
            OutputText measuring(job.Output().Page());
            length = CardText(job, a, measuring).size();
            if (length > kMaxCardText) {
                length = kMaxCardText;
                if (!asked) {
                    asked = true;
                    MessageResult r =
                        job.GetUi().MessageBox(ResourceString(msg::kCardfileTruncateQuestion),
                                               MessageIcon::Question, MessageButtons::YesNo);
                    if (r != MessageResult::Yes) {
                        w.Abort();
                        return ExportOutcome::kCancelled;
                    }
                }
            }
        }
        std::string entry(6, '\0');
        PutUInt32(entry, uint32_t(offset));
        entry += '\0';
        std::string title = a.record.title.substr(0, kTitleBytes);
        entry += title;
        entry.append(kTitleBytes - title.size() + 2, '\0');  // padding and byte 51
        w.Write(entry);
        offset += 4 + length;
        job.Step();
    }

    job.Progress().SetText(ResourceString(msg::kCardfileWritingCards));
    for (size_t i = 0; i < count; ++i) {
        if (job.Cancelled()) {
            w.Abort();
            return ExportOutcome::kCancelled;
        }
        std::string card;
        PutUInt16(card, 0);  // no picture
        std::string text;
        if (withText) {
            text = CardText(job, job.Read(ids[i]), job.Output());
            if (text.size() > kMaxCardText) text.resize(kMaxCardText);
        }
        PutUInt16(card, uint32_t(text.size()));
        w.Write(card);
        w.Write(text);
        job.Step();
    }
    if (job.Cancelled()) {
        w.Abort();
        return ExportOutcome::kCancelled;
    }
    w.Close();
    file.Commit();
    return ExportOutcome::kDone;
}

}  // namespace qb
