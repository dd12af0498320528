// One column of a polygon's texts (all the X texts, or all the Y texts),
// indexed like the corners from 1; index 0 is unused.
//
// Copies are cheap and share storage: the texts are held in blocks of
// kBlock, shared between copies until one of them writes into a block,
// which then gets a block of its own. The undo history keeps a whole state
// per step, so typing one coordinate of a 10 000-corner polygon costs one
// block, not 10 000 texts.
//
// Reading past the end gives an empty text: a row never typed into is
// empty. Writing past the end grows the column. Two columns are equal when
// they hold the same texts, an empty tail counting as no tail.
//
// Not thread-safe: a column and its copies belong to one thread.
//
// Pure code: no widgets.
#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <vector>

namespace tarvel::geometry {

class TextColumn {
public:
    static constexpr std::size_t kBlock = 64;

    TextColumn() = default;
    // Texts of indexes 0, 1, 2, ... in order (index 0 first).
    TextColumn(std::initializer_list<QString> texts);

    // Indexes held: the highest written index + 1 (texts beyond read empty).
    std::size_t size() const { return size_; }
    const QString &operator[](std::size_t i) const;
    // A text to write into; the column grows to hold index i.
    QString &operator[](std::size_t i);
    // Holds indexes 0..n - 1 from now on; texts beyond are dropped.
    void resize(std::size_t n);

    bool operator==(const TextColumn &other) const;
    // About the bytes of the blocks of this column that are not the very
    // storage of `other`'s, their texts included: what keeping both costs
    // beyond keeping `other`.
    std::size_t bytesApartFrom(const TextColumn &other) const;
    // True when block b (indexes b * kBlock ..) is the very same storage in
    // both columns, so that its texts are equal without a look at them.
    bool sharesBlock(const TextColumn &other, std::size_t b) const {
        return b < blocks_.size() && b < other.blocks_.size() && blocks_[b] == other.blocks_[b];
    }

private:
    using Block = std::array<QString, kBlock>;
    std::vector<std::shared_ptr<Block>> blocks_;
    std::size_t size_ = 0;
};

} // namespace tarvel::geometry
