#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>
#include <stdexcept>

#include "writer/qbx_writer.h"

namespace qbw {

namespace {

void Put(std::string& s, size_t offset, uint64_t v, int width) {
    for (int i = 0; i < width; ++i)
        if (offset + i < s.size()) s[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

int32_t BlocksFor(size_t bytes, int32_t blockSize) {
    return std::max<int32_t>(1, static_cast<int32_t>((bytes + blockSize - 1) / blockSize));
}

}  // namespace

// ---- Layout ---------------------------------------------------------------

int64_t Layout::BlockOffset(int32_t block) const {
    return headerLength + static_cast<int64_t>(blockSize) * block;
}

int64_t Layout::ChainEntryOffset(int32_t block) const {
    return BlockOffset(block / entries * entries) + 4 * (block % entries);
}

int64_t Layout::ContentOffset(const std::vector<int32_t>& chain, int64_t index) const {
    return BlockOffset(chain.at(index / blockSize)) + index % blockSize;
}

// ---- Image ----------------------------------------------------------------

void Image::PatchInt16(size_t offset, int16_t v) {
    Put(bytes, offset, static_cast<uint16_t>(v), 2);
}
void Image::PatchInt32(size_t offset, int32_t v) {
    Put(bytes, offset, static_cast<uint32_t>(v), 4);
}

void Image::SetMagic(std::string_view two) {
    for (size_t i = 0; i < 2 && i < two.size() && i < bytes.size(); ++i)
        bytes[i] = two[i];
}
void Image::SetVersion(int16_t v) {
    PatchInt16(hdr::kVersion, v);
}
void Image::SetBlockSizeField(uint16_t b) {
    PatchInt16(hdr::kBlockSize, static_cast<int16_t>(b));
}
void Image::SetEntriesField(uint16_t e) {
    PatchInt16(hdr::kEntries, static_cast<int16_t>(e));
}

void Image::SetGenerator(std::string_view text) {
    for (size_t i = 0; i < hdr::kGeneratorMax; ++i) {
        size_t at = hdr::kGenerator + i;
        if (at >= bytes.size() || at >= static_cast<size_t>(layout.headerLength)) break;
        bytes[at] = i < text.size() ? text[i] : '\0';
    }
}

void Image::Truncate(size_t n) {
    if (n < bytes.size()) bytes.resize(n);
}

void Image::SetChainEntry(int32_t block, int32_t next) {
    PatchInt32(static_cast<size_t>(layout.ChainEntryOffset(block)), next);
}

void Image::BreakChain(const std::vector<int32_t>& chain, size_t index, int32_t next) {
    SetChainEntry(chain.at(index), next);
}

void Image::MakeCycle(const std::vector<int32_t>& chain) {
    SetChainEntry(chain.back(), chain.front());
}

void Image::WriteFile(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

// ---- FileBuilder ------------------------------------------------------------

FileBuilder::FileBuilder() = default;

FileBuilder& FileBuilder::SetMagic(std::string_view two) {
    magic_ = std::string(two.substr(0, 2));
    return *this;
}
FileBuilder& FileBuilder::SetVersion(int16_t v) {
    version_ = v;
    return *this;
}
FileBuilder& FileBuilder::SetGeometry(uint16_t blockSize, uint16_t entries) {
    if (entries < 2 || blockSize < 4 * entries)
        throw std::invalid_argument("geometry needs E >= 2 and B >= 4E");
    blockSize_ = blockSize;
    entries_ = entries;
    return *this;
}
FileBuilder& FileBuilder::SetHeaderLengthField(uint32_t h) {
    headerLengthField_ = h;
    return *this;
}
FileBuilder& FileBuilder::SetFlags(int32_t flags) {
    flags_ = flags;
    return *this;
}
FileBuilder& FileBuilder::SetGenerator(std::string_view text) {
    generator_ = std::string(text);
    return *this;
}
FileBuilder& FileBuilder::SetHeaderBytes(size_t offset, std::string_view bytes) {
    headerBytes_.emplace_back(offset, std::string(bytes));
    return *this;
}
FileBuilder& FileBuilder::SetRecord(int table, int32_t slot, std::string bytes) {
    if (table != 0 && table != 1 && table != 3) throw std::invalid_argument("record table");
    if (slot < 0) throw std::invalid_argument("slot");
    records_[table][slot] = std::move(bytes);
    return *this;
}
FileBuilder& FileBuilder::SetTableCount(int table, int32_t count) {
    counts_[table] = count;
    return *this;
}
FileBuilder& FileBuilder::SetStream(int16_t id, std::string bytes) {
    for (auto& s : streams_)
        if (s.first == id) {
            s.second = std::move(bytes);
            return *this;
        }
    streams_.emplace_back(id, std::move(bytes));
    return *this;
}
FileBuilder& FileBuilder::SetDirectoryLeading(int32_t v) {
    directoryLeading_ = v;
    return *this;
}
FileBuilder& FileBuilder::Scatter(uint32_t seed) {
    scatterSeed_ = seed;
    return *this;
}

Image FileBuilder::BuildImage() const {
    Image img;
    Layout& L = img.layout;
    const int32_t B = blockSize_, E = entries_;
    const uint32_t field = headerLengthField_.value_or(hdr::kMaxHeader);
    L.headerLength = version_ < 300 ? 60 : static_cast<int32_t>(std::min<uint32_t>(field, 220));
    L.blockSize = B;
    L.entries = E;

    // Slot counts of the record tables.
    std::map<int, int32_t> count;
    for (int t : {0, 1, 3}) {
        int32_t c = 0;
        if (auto it = records_.find(t); it != records_.end() && !it->second.empty())
            c = it->second.rbegin()->first + 1;
        if (auto it = counts_.find(t); it != counts_.end()) c = std::max(c, it->second);
        count[t] = c;
    }

    // Everything that becomes a chain, with its block count.
    struct Item {
        std::vector<int32_t>* chain;
        int32_t blocks;
    };
    std::vector<Item> items;
    for (int t : {0, 1, 3})
        if (count[t] > 0) items.push_back({&L.tables[t], (count[t] + E - 1) / E});
    const size_t directoryBytes = 4 + 6 * streams_.size();
    if (!streams_.empty()) items.push_back({&L.tables[2], BlocksFor(directoryBytes, B)});
    for (const auto& [t, slots] : records_)
        for (const auto& [slot, bytes] : slots)
            items.push_back({&L.records[{t, slot}], BlocksFor(bytes.size(), B)});
    for (const auto& [id, bytes] : streams_)
        items.push_back({&L.streams[id], BlocksFor(bytes.size(), B)});

    // Data block numbers skip the chain-table blocks 0, E, 2E, ...
    int64_t needed = 0;
    for (const Item& it : items)
        needed += it.blocks;
    std::vector<int32_t> numbers;
    numbers.reserve(needed);
    for (int32_t n = 1; static_cast<int64_t>(numbers.size()) < needed; ++n)
        if (n % E != 0) numbers.push_back(n);
    if (scatterSeed_) {
        std::mt19937 rng(*scatterSeed_);
        for (size_t i = numbers.size(); i > 1; --i)
            std::swap(numbers[i - 1], numbers[rng() % i]);
    }
    size_t next = 0;
    for (const Item& it : items)
        for (int32_t k = 0; k < it.blocks; ++k)
            it.chain->push_back(numbers[next++]);

    int32_t maxBlock = 0;
    for (int32_t n : numbers)
        maxBlock = std::max(maxBlock, n);
    L.blockCount = maxBlock + 1;

    img.bytes.assign(L.BlockOffset(L.blockCount), '\0');
    std::string& out = img.bytes;

    // Chain table: every entry NIL, then link each chain.
    for (int32_t n = 0; n < L.blockCount; ++n)
        Put(out, L.ChainEntryOffset(n), 0x80000001u, 4);
    auto writeChain = [&](const std::vector<int32_t>& chain, const std::string& content) {
        for (size_t k = 0; k < chain.size(); ++k) {
            if (k + 1 < chain.size()) Put(out, L.ChainEntryOffset(chain[k]), chain[k + 1], 4);
            size_t from = k * B;
            if (from < content.size())
                std::memcpy(out.data() + L.BlockOffset(chain[k]), content.data() + from,
                            std::min<size_t>(B, content.size() - from));
        }
    };
    for (const auto& [key, chain] : L.records)
        writeChain(chain, records_.at(key.first).at(key.second));
    for (const auto& [id, bytes] : streams_)
        writeChain(L.streams[id], bytes);

    // Header.
    std::string header(hdr::kMaxHeader, '\0');
    header[0] = magic_.size() > 0 ? magic_[0] : '\0';
    header[1] = magic_.size() > 1 ? magic_[1] : '\0';
    Put(header, hdr::kVersion, static_cast<uint16_t>(version_), 2);
    Put(header, hdr::kBlockSize, blockSize_, 2);
    Put(header, hdr::kEntries, entries_, 2);
    Put(header, hdr::kHeaderLength, field, 4);
    Put(header, hdr::kFlags, static_cast<uint32_t>(flags_), 4);
    std::memcpy(header.data() + hdr::kGenerator, generator_.data(),
                std::min(generator_.size(), hdr::kGeneratorMax - 1));
    auto descriptor = [&](int t, int32_t c, int32_t free, int32_t first) {
        Put(header, hdr::Descriptor(t), static_cast<uint32_t>(c), 4);
        Put(header, hdr::Descriptor(t) + 4, static_cast<uint32_t>(free), 4);
        Put(header, hdr::Descriptor(t) + 8, static_cast<uint32_t>(first), 4);
    };
    for (int t = 0; t <= 6; ++t)
        descriptor(t, 0, 0, kNil);

    for (int t : {0, 1, 3}) {
        if (count[t] == 0) continue;
        Encoder slots;
        int32_t occupied = 0;
        const auto recs = records_.find(t);
        for (int32_t i = 0; i < count[t]; ++i) {
            auto chain = L.records.find({t, i});
            if (recs != records_.end() && chain != L.records.end()) {
                slots.Int32(chain->second.front());
                ++occupied;
            } else {
                slots.Int32(kNil);
            }
        }
        // Slots beyond the count in the last table block stay empty too.
        while (slots.Size() % B != 0)
            slots.Int32(kNil);
        writeChain(L.tables[t], slots.Str());
        descriptor(t, count[t], count[t] - occupied, L.tables[t].front());
    }
    if (!streams_.empty()) {
        Encoder dir;
        dir.Int32(directoryLeading_);
        for (const auto& [id, bytes] : streams_)
            dir.Int16(id).Int32(L.streams[id].front());
        writeChain(L.tables[2], dir.Str());
        descriptor(2, static_cast<int32_t>(streams_.size()), 0, L.tables[2].front());
    }
    for (const auto& [offset, bytes] : headerBytes_)
        for (size_t i = 0; i < bytes.size() && offset + i < header.size(); ++i)
            header[offset + i] = bytes[i];

    std::memcpy(out.data(), header.data(), L.headerLength);
    return img;
}

}  // namespace qbw
