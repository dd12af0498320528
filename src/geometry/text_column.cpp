#include "geometry/text_column.h"

#include <algorithm>

namespace tarvel::geometry {

namespace {
const QString &emptyText() {
    static const QString empty;
    return empty;
}
} // namespace

TextColumn::TextColumn(std::initializer_list<QString> texts) {
    std::size_t i = 0;
    for (const QString &t : texts) (*this)[i++] = t;
}

const QString &TextColumn::operator[](std::size_t i) const {
    if (i >= size_) return emptyText();
    return (*blocks_[i / kBlock])[i % kBlock];
}

QString &TextColumn::operator[](std::size_t i) {
    if (i >= size_) resize(i + 1);
    auto &block = blocks_[i / kBlock];
    // A block another copy still reads is copied before the write.
    if (block.use_count() > 1) block = std::make_shared<Block>(*block);
    return (*block)[i % kBlock];
}

void TextColumn::resize(std::size_t n) {
    const std::size_t blocks = (n + kBlock - 1) / kBlock;
    if (n < size_) {
        blocks_.resize(blocks);
        // The texts beyond n in the last block go, so that growing again
        // reads them empty.
        if (n % kBlock != 0) {
            auto &last = blocks_.back();
            if (last.use_count() > 1) last = std::make_shared<Block>(*last);
            std::fill(last->begin() + std::ptrdiff_t(n % kBlock), last->end(), QString());
        }
    } else {
        while (blocks_.size() < blocks) blocks_.push_back(std::make_shared<Block>());
    }
    size_ = n;
}

std::size_t TextColumn::bytesApartFrom(const TextColumn &other) const {
    // A text's characters live in a block of the heap of their own, with a
    // header and the heap's share.
    constexpr std::size_t kTextOverhead = 32;
    std::size_t bytes = 0;
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        if (sharesBlock(other, b)) continue;
        bytes += sizeof(Block);
        for (const QString &t : *blocks_[b])
            if (!t.isEmpty()) bytes += kTextOverhead + std::size_t(t.size()) * sizeof(QChar);
    }
    return bytes;
}

bool TextColumn::operator==(const TextColumn &other) const {
    const std::size_t n = std::max(size_, other.size_);
    for (std::size_t b = 0; b * kBlock < n; ++b) {
        // Shared blocks are equal without a look at their texts.
        if (sharesBlock(other, b)) continue;
        for (std::size_t i = b * kBlock; i < std::min(n, (b + 1) * kBlock); ++i)
            if ((*this)[i] != other[i]) return false;
    }
    return true;
}

} // namespace tarvel::geometry
