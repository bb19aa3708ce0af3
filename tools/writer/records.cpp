#include <algorithm>

#include "writer/qbx_writer.h"

namespace qbw {

namespace {

constexpr uint16_t kBlobWord = 0x8000;
constexpr uint16_t kIdsWord = 0x4000;

void WriteAttachments(Encoder& e, const std::vector<AttachmentData>& list, bool newFormat,
                      BlobStyle& style) {
    e.TaggedInt16(static_cast<int16_t>(list.size()));
    for (const AttachmentData& a : list) {
        AttachmentForm form = a.form;
        if (form == AttachmentForm::kAuto)
            form = newFormat ? AttachmentForm::kBlobWithIds : AttachmentForm::kString;
        uint16_t word = static_cast<uint16_t>(a.kind) & 0x3FFF;
        if (form == AttachmentForm::kBlob) word |= kBlobWord;
        if (form == AttachmentForm::kBlobWithIds) word |= kBlobWord | kIdsWord;
        e.TaggedInt16(static_cast<int16_t>(word));
        if (form == AttachmentForm::kString) {
            e.String(a.target);
        } else {
            e.BlobString(a.target, style);
        }
        if (form == AttachmentForm::kBlobWithIds) e.Int32(a.articleId).Int32(a.flags);
    }
}

}  // namespace

void WriteArticleOld(Encoder& e, const ArticleData& a, int level) {
    BlobStyle unused;
    e.TaggedInt16(static_cast<int16_t>(level));
    if (level >= 1) e.TaggedInt32(a.articleDate);
    if (level >= 2) e.String(a.title);
    if (level >= 3) e.String(a.plainText);
    if (level >= 4) e.IdArray(a.keywordIds);
    if (level >= 5) e.Section(Encoder().Int32(a.display.wordWrap));
    if (level >= 6) WriteAttachments(e, a.attachments, false, unused);
    if (level >= 7) e.String(a.spareText);
    if (level >= 8) e.String(a.richText);
    if (level >= 9) {
        e.Section(Encoder().UInt16(0xF22F).Int32(a.display.linkDisplay).Int32(a.display.autoOpen));
    }
}

std::string EncodeArticleOld(const ArticleData& a, int level) {
    Encoder e;
    WriteArticleOld(e, a, level);
    return e.Str();
}

void WriteArticleNew(Encoder& e, const ArticleData& a, NewArticleOptions options) {
    e.TaggedInt16(static_cast<int16_t>(0x812C));
    Encoder h;
    h.Int16(a.level).Int32(a.reserved).UInt16(a.flags);
    h.Int32(a.createdDate).Int32(a.createdTime);
    h.Int32(a.modifiedDate).Int32(a.modifiedTime);
    h.Int32(a.articleDate).Int32(a.articleTime);
    std::string header = h.Str();
    header.resize(static_cast<size_t>(std::max(options.headerLength, 0)), '\0');
    e.Int32(options.headerLength).Bytes(header);

    BlobStyle& style = options.blobs;
    const int level = a.level;
    if (level > 0) e.BlobString(a.title, style);
    if (level > 1) e.IdArray(a.keywordIds);
    if (level > 2) WriteAttachments(e, a.attachments, true, style);
    if (level > 3) e.BlobString(a.richText, style);
    if (level > 4) {
        e.Section(Encoder()
                      .UInt16(0xF33F)
                      .Int32(a.display.wordWrap)
                      .Int32(a.display.linkDisplay)
                      .Int32(a.display.autoOpen)
                      .Int32(a.display.spareValue)
                      .Int16(a.display.flags));
    }
    if (level > 5) {
        e.Int32(static_cast<int32_t>(a.links.size()));
        for (const StoredLinkData& l : a.links) {
            e.Int32(l.start).Int32(l.end).Int16(l.kind).Int32(l.targetId);
            e.Int32(l.targetCreatedDate).Int32(l.targetCreatedTime);
            e.BlobString(l.target, style);
        }
    }
}

std::string EncodeArticleNew(const ArticleData& a, NewArticleOptions options) {
    Encoder e;
    WriteArticleNew(e, a, options);
    return e.Str();
}

std::string EncodeKeyword(std::string_view name, const std::vector<int32_t>& articleIds, int level,
                          bool blobName, const std::vector<int32_t>& secondIds) {
    Encoder e;
    e.TaggedInt16(static_cast<int16_t>(level | (blobName ? kBlobWord : 0)));
    if (blobName) {
        e.BlobString(name);
    } else {
        e.String(name);
    }
    e.IdArray(articleIds);
    if (level > 2) e.IdArray(secondIds);
    return e.Str();
}

std::string EncodeGroup(std::string_view name, const std::vector<int32_t>& keywordIds, int level,
                        int32_t value) {
    Encoder e;
    e.TaggedInt16(static_cast<int16_t>(level | kBlobWord));
    e.BlobString(name).Int32(value).IdArray(keywordIds);
    return e.Str();
}

std::string EncodeIdStream(const std::vector<int32_t>& ids) {
    return Encoder().IdArray(ids).Str();
}

std::string EncodeTextStream(std::string_view text) {
    return Encoder().String(text).Str();
}

std::string EncodePageSetup(const std::array<int16_t, 12>& values) {
    Encoder body;
    for (int16_t v : values)
        body.Int16(v);
    return Encoder().Section(body).Str();
}

namespace {
// A text of the settings section: int32 length, then the text and its NUL.
void SettingsText(Encoder& e, const std::string& text) {
    if (text.empty()) {
        e.Int32(0);
        return;
    }
    e.Int32(static_cast<int32_t>(text.size() + 1)).Bytes(text).Zeros(1);
}
}  // namespace

std::string EncodeFileSettings(const FileSettingsData& s, std::optional<int32_t> lengthOverride) {
    Encoder b;
    b.Int16(s.updateDatesToModified);
    for (int16_t v : s.unused1)
        b.Int16(v);
    b.Int16(s.wordWrap).Int16(s.unused2);
    b.Bytes(std::string_view(reinterpret_cast<const char*>(s.font.data()), s.font.size()));
    b.Int32(s.fontColor).Int32(s.fontAutoColor);
    SettingsText(b, s.comments);
    b.Int16(s.relativeLinkLocation);
    SettingsText(b, s.relativeLinkPath);
    b.Int16(s.fullPathNames);
    return Encoder().Section(b, lengthOverride).Str();
}

std::string EncodeSavedQueries(const std::vector<SavedQueryData>& queries,
                               const std::vector<int16_t>& recent, int16_t signature) {
    Encoder e;
    e.Int32(-1).Int16(signature).Int32(static_cast<int32_t>(queries.size()));
    for (const SavedQueryData& q : queries)
        e.BlobString(q.name).BlobString(q.query).Int32(q.dateFrom).Int32(q.dateTo);
    e.Int16(static_cast<int16_t>(recent.size()));
    for (int16_t r : recent)
        e.Int16(r);
    return e.Str();
}

std::string EncodeSavedQueriesOld(const std::vector<SavedQueryData>& queries,
                                  const std::vector<int16_t>& recent, int16_t signature,
                                  std::optional<int32_t> lengthOverride) {
    Encoder b;
    b.Int16(signature).Int32(static_cast<int32_t>(queries.size()));
    for (const SavedQueryData& q : queries)
        b.String(q.name).String(q.query).Int32(q.dateFrom).Int32(q.dateTo);
    b.Int16(static_cast<int16_t>(recent.size()));
    for (int16_t r : recent)
        b.Int16(r);
    return Encoder().Section(b, lengthOverride).Str();
}

std::string EncodeReminders(const std::vector<ReminderData>& reminders) {
    Encoder e;
    e.Int32(static_cast<int32_t>(reminders.size()));
    for (const ReminderData& r : reminders) {
        e.TaggedInt16(r.level);
        if (r.level > 0) e.TaggedInt32(r.date);
        if (r.level > 1) e.TaggedInt32(r.time);
        if (r.level > 2) e.TaggedInt32(r.articleId);
        if (r.level > 3) e.SkippedField(r.skipped);
    }
    return e.Str();
}

Privacy MakePrivacy(std::string_view password, const Key16& salt, const Key16& keyMaterial,
                    int16_t passwordSet) {
    auto view = [](const Key16& k) {
        return std::string_view(reinterpret_cast<const char*>(k.data()), k.size());
    };
    std::string saltAndPassword(view(salt));
    saltAndPassword.append(password);
    const Key16 check = Md5(saltAndPassword);
    const Key16 passwordHash = Md5(password);
    Key16 wrapped;
    for (int i = 0; i < 16; ++i)
        wrapped[i] = keyMaterial[i] ^ passwordHash[i];

    Encoder body;
    body.Int16(passwordSet).Bytes(view(salt)).Bytes(view(check)).Bytes(view(wrapped)).Zeros(48);
    Privacy p;
    p.stream = Encoder().Section(body).Str();
    p.keyMaterial = keyMaterial;
    p.contentKey = Md5(view(keyMaterial));
    return p;
}

}  // namespace qbw
