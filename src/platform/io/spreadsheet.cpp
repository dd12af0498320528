#include "platform/io/spreadsheet.h"

#include "platform/io/cp1251.h"
#include "platform/io/orcus_compat.h"
#include "platform/io/regular_file.h"
#include "platform/io/workbook_xml.h"
#include "platform/io/xlsx_reader.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringDecoder>

#include <freexl.h>
#include <ixion/address.hpp>
#include <ixion/cell_access.hpp>
#include <ixion/model_context.hpp>
#include <ixion/types.hpp>
#include <orcus/orcus_ods.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <locale.h>
#include <map>
#include <memory>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stop_token>
#include <string>
#include <string_view>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace tarvel::platform {

namespace {

// ---- Addresses ----

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;
// A range op touches every cell in it one by one; a sheet-sized range would
// run for minutes and fill memory, and nothing of ours needs more than a
// handful of cells.
constexpr long long kMaxRangeCells = 1000000;

struct CellPos {
    int row = 0; // 0-based
    int col = 0; // 0-based
    auto operator<=>(const CellPos &) const = default;
};

struct CellRect {
    CellPos first;
    CellPos last;
};

// "A1", "$B$20", "xfd1048576": column letters then a row number, each
// optionally fixed with '$'.
std::optional<CellPos> parseCell(QStringView text) {
    qsizetype i = 0;
    if (i < text.size() && text[i] == u'$') ++i;
    int col = 0;
    int letters = 0;
    while (i < text.size() && text[i].toUpper() >= u'A' && text[i].toUpper() <= u'Z') {
        col = col * 26 + (text[i].toUpper().unicode() - u'A' + 1);
        ++letters;
        ++i;
        if (letters > 3) return std::nullopt;
    }
    if (letters == 0 || col > kMaxColumns) return std::nullopt;
    if (i < text.size() && text[i] == u'$') ++i;
    if (i >= text.size() || text[i] == u'0') return std::nullopt;
    long long row = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
        row = row * 10 + (text[i].unicode() - u'0');
        if (row > kMaxRows) return std::nullopt;
    }
    return CellPos{static_cast<int>(row) - 1, col - 1};
}

std::optional<CellRect> parseRange(const QString &address) {
    const auto parts = QStringView(address).split(u':');
    if (parts.size() > 2) return std::nullopt;
    const auto first = parseCell(parts.front());
    const auto last = parseCell(parts.back());
    if (!first || !last) return std::nullopt;
    CellRect rect{{std::min(first->row, last->row), std::min(first->col, last->col)},
                  {std::max(first->row, last->row), std::max(first->col, last->col)}};
    const long long cells = static_cast<long long>(rect.last.row - rect.first.row + 1) *
                            (rect.last.col - rect.first.col + 1);
    if (cells > kMaxRangeCells) return std::nullopt;
    return rect;
}

// The automation's horizontal alignment constants (the short ones and the
// xl constants) in libxlsxwriter's terms; LXW_ALIGN_NONE is "general".
std::optional<std::uint8_t> toLxwAlignment(int alignment) {
    switch (alignment) {
    case 1: // general
        return LXW_ALIGN_NONE;
    case 2:
    case -4131:
        return LXW_ALIGN_LEFT;
    case 3:
    case -4108:
        return LXW_ALIGN_CENTER;
    case 4:
    case -4152:
        return LXW_ALIGN_RIGHT;
    case 5:
        return LXW_ALIGN_FILL;
    case 6:
    case -4130:
        return LXW_ALIGN_JUSTIFY;
    case 7:
        return LXW_ALIGN_CENTER_ACROSS;
    case -4117:
        return LXW_ALIGN_DISTRIBUTED;
    default:
        return std::nullopt;
    }
}

// ---- The recording object model ----

struct CellRecord {
    std::optional<double> value;
    std::optional<QString> text;
    std::optional<QString> numberFormat;
    std::optional<std::uint8_t> alignment;
};

// What a workbook was told, and whether any call failed on the way.
struct SheetRecord {
    QString name; // empty: the library's "Sheet1"
    std::map<CellPos, CellRecord> cells;
    bool failed = false;

    template <typename Apply> void forEachCell(const std::optional<CellRect> &rect, Apply apply) {
        if (!rect) {
            failed = true;
            return;
        }
        for (int row = rect->first.row; row <= rect->last.row; ++row)
            for (int col = rect->first.col; col <= rect->last.col; ++col)
                apply(cells[CellPos{row, col}]);
    }
};

class RecordingRange : public SpreadsheetRange {
public:
    RecordingRange(SheetRecord &sheet, std::optional<CellRect> rect) : sheet_(sheet), rect_(rect) {}

    void setValue(double value) override {
        // A spreadsheet cannot hold NaN or infinity; libxlsxwriter would
        // write them as text the reader rejects.
        if (!std::isfinite(value)) {
            sheet_.failed = true;
            return;
        }
        sheet_.forEachCell(rect_, [value](CellRecord &cell) {
            cell.value = value;
            cell.text.reset();
        });
    }

    void setText(const QString &text) override {
        sheet_.forEachCell(rect_, [&text](CellRecord &cell) {
            cell.text = text;
            cell.value.reset();
        });
    }

    void setNumberFormat(const QString &format) override {
        sheet_.forEachCell(rect_, [&format](CellRecord &cell) { cell.numberFormat = format; });
    }

    void setHorizontalAlignment(int alignment) override {
        const auto lxw = toLxwAlignment(alignment);
        if (!lxw) {
            sheet_.failed = true;
            return;
        }
        sheet_.forEachCell(rect_, [lxw](CellRecord &cell) { cell.alignment = *lxw; });
    }

private:
    SheetRecord &sheet_;
    std::optional<CellRect> rect_;
};

class RecordingWorksheet : public SpreadsheetWorksheet {
public:
    explicit RecordingWorksheet(SheetRecord &sheet) : sheet_(sheet) {}

    SpreadsheetRange &Range(const QString &address) override {
        // The ranges live as long as the worksheet, like the references the
        // caller holds.
        ranges_.push_back(std::make_unique<RecordingRange>(sheet_, parseRange(address)));
        return *ranges_.back();
    }

    void setName(const QString &name) override { sheet_.name = name; }

private:
    SheetRecord &sheet_;
    std::vector<std::unique_ptr<RecordingRange>> ranges_;
};

// ---- Writing ----

struct WorkbookCloser {
    // workbook_close both writes and frees; on an early exit the half-built
    // workbook lands in the temporary file, which is removed anyway.
    void operator()(lxw_workbook *workbook) const { workbook_close(workbook); }
};
using WorkbookHandle = std::unique_ptr<lxw_workbook, WorkbookCloser>;

bool isPermissionError(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

SpreadsheetError errorFromErrno(int error) {
    return isPermissionError(error) ? SpreadsheetError::PermissionDenied : SpreadsheetError::Other;
}

// A file beside the target that is removed again unless it was renamed into
// place.
class TemporarySibling {
public:
    TemporarySibling() = default;
    TemporarySibling(const TemporarySibling &) = delete;
    TemporarySibling &operator=(const TemporarySibling &) = delete;
    ~TemporarySibling() {
        if (!path_.isEmpty()) ::unlink(path_.constData());
    }

    // Creates the file; on failure returns the errno.
    int create(const QFileInfo &target) {
        QByteArray pattern = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") +
                                               target.fileName() + QStringLiteral(".tmpXXXXXX"));
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) return errno;
        // mkstemp makes the file private; the saved workbook gets the mode
        // of the file it replaces, or the usual mode of a new file.
        struct stat existing {};
        mode_t mode = 0;
        if (::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &existing) == 0) {
            mode = existing.st_mode & 0777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        ::fchmod(fd, mode);
        ::close(fd);
        path_ = pattern;
        return 0;
    }

    const QByteArray &path() const { return path_; }
    void release() { path_.clear(); }

private:
    QByteArray path_;
};

bool flushToDisk(const QByteArray &path) {
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Switches this thread to the C rules for numbers while it lives.
// libxlsxwriter prints cell values with printf, which under a desktop
// locale with a decimal comma (the program runs with the user's locale)
// would write "1,5" into the file, a value no spreadsheet reads as 1.5.
class CNumericLocale {
public:
    CNumericLocale() {
        if (const locale_t base = ::duplocale(LC_GLOBAL_LOCALE)) {
            c_ = ::newlocale(LC_NUMERIC_MASK, "C", base);
            if (!c_) ::freelocale(base);
        }
        if (c_) previous_ = ::uselocale(c_);
    }
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;
    ~CNumericLocale() {
        if (!c_) return;
        ::uselocale(previous_);
        ::freelocale(c_);
    }
    bool active() const { return c_ != locale_t{}; }

private:
    locale_t c_{};
    locale_t previous_{};
};

// Writes the recorded cells as an .xlsx file at `path`.
bool writeWorkbook(const SheetRecord &sheet, const QByteArray &path) {
    const CNumericLocale numbers;
    if (!numbers.active()) return false;
    lxw_workbook_options options{};
    WorkbookHandle workbook(workbook_new_opt(path.constData(), &options));
    if (!workbook) return false;
    const QByteArray name = sheet.name.toUtf8();
    lxw_worksheet *worksheet =
        workbook_add_worksheet(workbook.get(), name.isEmpty() ? nullptr : name.constData());
    if (!worksheet) return false;

    // One format per distinct combination; the workbook owns them.
    std::map<std::pair<QString, int>, lxw_format *> formats;
    auto formatFor = [&](const CellRecord &cell) -> lxw_format * {
        const QString numberFormat = cell.numberFormat.value_or(QString());
        const int alignment = cell.alignment.value_or(LXW_ALIGN_NONE);
        if (numberFormat.isEmpty() && alignment == LXW_ALIGN_NONE) return nullptr;
        auto &format = formats[{numberFormat, alignment}];
        if (!format) {
            format = workbook_add_format(workbook.get());
            if (!format) return nullptr;
            if (!numberFormat.isEmpty())
                format_set_num_format(format, numberFormat.toUtf8().constData());
            if (alignment != LXW_ALIGN_NONE)
                format_set_align(format, static_cast<std::uint8_t>(alignment));
        }
        return format;
    };

    for (const auto &[pos, cell] : sheet.cells) {
        lxw_format *format = formatFor(cell);
        lxw_error error = LXW_NO_ERROR;
        if (cell.value)
            error = worksheet_write_number(worksheet, static_cast<lxw_row_t>(pos.row),
                                           static_cast<lxw_col_t>(pos.col), *cell.value, format);
        else if (cell.text)
            error = worksheet_write_string(worksheet, static_cast<lxw_row_t>(pos.row),
                                           static_cast<lxw_col_t>(pos.col),
                                           cell.text->toUtf8().constData(), format);
        else if (format)
            error = worksheet_write_blank(worksheet, static_cast<lxw_row_t>(pos.row),
                                          static_cast<lxw_col_t>(pos.col), format);
        if (error != LXW_NO_ERROR) return false;
    }
    return workbook_close(workbook.release()) == LXW_NO_ERROR;
}

class RecordingWorkbook : public SpreadsheetWorkbook {
public:
    explicit RecordingWorkbook(const bool &applicationQuit) : quit_(applicationQuit) {}

    SpreadsheetWorksheet &Worksheets(int index) override {
        // A new workbook has exactly one worksheet.
        if (index != 1 || quit_) sheet_.failed = true;
        return worksheet_;
    }

    SpreadsheetError SaveAs(const QString &fileName) override {
        if (sheet_.failed || quit_ || fileName.isEmpty()) return SpreadsheetError::Other;
        // Saving through a link replaces the file it points to, not the link.
        QFileInfo target(fileName);
        if (target.isSymLink()) target = QFileInfo(target.symLinkTarget());
        if (target.isDir()) return SpreadsheetError::Other;
        const QByteArray targetPath = QFile::encodeName(target.absoluteFilePath());
        if (target.exists()) {
            // A read-only file is not replaced, whoever asks: the rename
            // would succeed in a writable folder and silently defeat it.
            struct stat status {};
            if (::stat(targetPath.constData(), &status) == 0 && (status.st_mode & 0222) == 0)
                return SpreadsheetError::PermissionDenied;
            if (::access(targetPath.constData(), W_OK) != 0) return errorFromErrno(errno);
        }

        TemporarySibling temporary;
        if (const int error = temporary.create(target); error != 0) return errorFromErrno(error);
        if (!writeWorkbook(sheet_, temporary.path()) || !flushToDisk(temporary.path()))
            return SpreadsheetError::Other;
        if (std::rename(temporary.path().constData(), targetPath.constData()) != 0)
            return errorFromErrno(errno);
        temporary.release();
        return SpreadsheetError::None;
    }

private:
    const bool &quit_;
    SheetRecord sheet_;
    RecordingWorksheet worksheet_{sheet_};
};

class RecordingApplication : public SpreadsheetApplication {
public:
    SpreadsheetWorkbook &WorkbooksAdd() override {
        // A workbook added after Quit cannot be saved: it sees the flag.
        workbooks_.push_back(std::make_unique<RecordingWorkbook>(quit_));
        return *workbooks_.back();
    }

    void Quit() override { quit_ = true; }

private:
    bool quit_ = false;
    std::vector<std::unique_ptr<RecordingWorkbook>> workbooks_;
};

// ---- Reading ----

constexpr int kRowsRead = kSpreadsheetRowsRead;
// Our workbooks are a few kilobytes; a bigger limit only guards memory
// against a wrong file picked by mistake.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

SpreadsheetColumns emptyColumns() {
    SpreadsheetColumns columns;
    columns.a.resize(kRowsRead);
    columns.b.resize(kRowsRead);
    return columns;
}

SpreadsheetCell numberCell(double value) {
    if (!std::isfinite(value)) return {};
    return SpreadsheetCell{SpreadsheetCell::Kind::Number, value, {}};
}

SpreadsheetCell textCell(QString text) {
    if (text.isEmpty()) return {};
    return SpreadsheetCell{SpreadsheetCell::Kind::Text, 0, std::move(text)};
}

SpreadsheetCell &cellAt(SpreadsheetColumns &columns, int row, int col) {
    return col == 0 ? columns.a[row] : columns.b[row];
}

template <typename Filter> std::optional<SpreadsheetColumns> readWithOrcus(const QByteArray &data) {
    namespace ss = orcus::spreadsheet;
    ss::document document{ss::range_size_t{kMaxRows, kMaxColumns}};
    ss::import_factory factory{document};
    Filter filter{&factory};
    filter.read_stream(std::string_view(data.constData(), static_cast<size_t>(data.size())));
    if (document.get_sheet_count() == 0) return std::nullopt;

    const ixion::model_context &model = document.get_model_context();
    SpreadsheetColumns columns = emptyColumns();
    for (int row = 0; row < kRowsRead; ++row) {
        for (int col = 0; col < 2; ++col) {
            SpreadsheetCell cell;
            try {
                const ixion::cell_access access =
                    model.get_cell_access(ixion::abs_address_t(0, row, col));
                switch (access.get_value_type()) {
                case ixion::cell_value_t::numeric:
                    cell = numberCell(access.get_numeric_value());
                    break;
                case ixion::cell_value_t::string:
                    cell = textCell(QString::fromUtf8(access.get_string_value()));
                    break;
                case ixion::cell_value_t::boolean:
                    cell = textCell(access.get_boolean_value() ? QStringLiteral("TRUE")
                                                               : QStringLiteral("FALSE"));
                    break;
                case ixion::cell_value_t::empty:
                    break;
                default:
                    // An error value or a cell of unknown kind: the import
                    // names it rather than skipping it in silence.
                    cell.kind = SpreadsheetCell::Kind::Error;
                    break;
                }
            } catch (...) {
                // A formula without a stored result: nothing to take over,
                // and nothing the import may skip in silence either.
                cell = SpreadsheetCell{};
                cell.kind = SpreadsheetCell::Kind::Error;
            }
            cellAt(columns, row, col) = std::move(cell);
        }
    }
    return columns;
}

struct FreexlCloser {
    void operator()(const void *handle) const { freexl_close(handle); }
};
using FreexlHandle = std::unique_ptr<const void, FreexlCloser>;

std::optional<SpreadsheetColumns> readLegacyXls(const char *path) {
    const void *opened = nullptr;
    const bool isOpen = freexl_open(path, &opened) == FREEXL_OK;
    const FreexlHandle handle(opened);
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (!isOpen || !handle || freexl_select_active_worksheet(handle.get(), 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle.get(), &rows, &cols) != FREEXL_OK)
        return std::nullopt;
    SpreadsheetColumns columns = emptyColumns();
    for (int col = 0; col < 2 && col < cols; ++col) {
        for (int row = 0; row < kRowsRead && static_cast<unsigned>(row) < rows; ++row) {
            FreeXL_CellValue value{};
            if (freexl_get_cell_value(handle.get(), static_cast<unsigned int>(row),
                                      static_cast<unsigned short>(col), &value) != FREEXL_OK)
                return std::nullopt;
            SpreadsheetCell &cell = cellAt(columns, row, col);
            switch (value.type) {
            case FREEXL_CELL_INT:
                cell = numberCell(static_cast<double>(value.value.int_value));
                break;
            case FREEXL_CELL_DOUBLE:
                cell = numberCell(value.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                if (value.value.text_value)
                    cell = textCell(QString::fromUtf8(value.value.text_value));
                break;
            default:
                break;
            }
        }
    }
    return columns;
}

// The readers of workbook files trust what the file says about itself:
// freexl takes string lengths from a crafted .xls and reads far past its own
// stack buffers, orcus reserves whatever uncompressed size a zip entry
// claims (gigabytes from a file of a few kilobytes) and its parsers stop
// the process on an assertion at some malformed XML. So every reading runs
// in a process of its own, the reader executable, with a memory ceiling and
// a time limit; whatever a reader does there ends with that process, and
// only the cells come back, as plain bytes through a pipe: per cell a kind
// byte (0 empty, 1 number, 2 text, 3 error), then 8 bytes of double or a 4-byte
// length and the UTF-8 text. A reader that fails, crashes, overruns the
// ceiling or the time gives "not a workbook".
//
// The reader is started with posix_spawn, a fresh program, never a bare
// fork of this one: a forked copy of a threaded process inherits locks that
// other threads held at the fork (glibc's converter lock among them) and can
// wait on them for ever.
//
// The time limit is this process's to enforce, and a program that is killed
// or hangs enforces nothing: a reader caught in a loop would spin on for
// good. So the reader also dies with the program (the kernel kills it when
// its parent ends; it is told the parent's process id to notice a parent
// that ended before it could ask for that) and ends by itself after a
// while of processor time.
// Beyond what the reader holds when it starts.
constexpr unsigned long long kReaderMemoryBytes = 1024ULL * 1024 * 1024;
// The reader's own limit of processor time, somewhat above the time limit
// of a reading: a reader runs on one thread, so one the program still waits
// for is stopped by the program first, and the limit ends only a reader
// nobody waits for. SIGXCPU at the soft limit ends it (no core is dumped);
// SIGKILL at the hard limit ends one that a library taught to take SIGXCPU.
constexpr std::chrono::seconds kReaderCpuTime =
    std::chrono::ceil<std::chrono::seconds>(XlsxSpreadsheet::kReadTimeLimit) +
    std::chrono::seconds(5);
constexpr auto kReaderCpuSeconds = static_cast<rlim_t>(kReaderCpuTime.count());
constexpr rlim_t kReaderCpuHardSeconds = kReaderCpuSeconds + 1;
// The descriptor the reader writes the cells to; its standard output is
// not used, as a library may print there.
constexpr int kResultFd = 3;

void putBytes(std::string &out, const void *p, std::size_t n) {
    out.append(static_cast<const char *>(p), n);
}

std::string encodeColumns(const SpreadsheetColumns &columns) {
    std::string out;
    for (const auto *column : {&columns.a, &columns.b}) {
        for (const SpreadsheetCell &cell : *column) {
            const char kind = cell.kind == SpreadsheetCell::Kind::Number  ? 1
                              : cell.kind == SpreadsheetCell::Kind::Text  ? 2
                              : cell.kind == SpreadsheetCell::Kind::Error ? 3
                                                                          : 0;
            putBytes(out, &kind, 1);
            if (kind == 1) {
                putBytes(out, &cell.number, sizeof cell.number);
            } else if (kind == 2) {
                const QByteArray utf8 = cell.text.toUtf8();
                const auto length = static_cast<std::uint32_t>(utf8.size());
                putBytes(out, &length, sizeof length);
                putBytes(out, utf8.constData(), length);
            }
        }
    }
    return out;
}

std::optional<SpreadsheetColumns> decodeColumns(const std::string &in) {
    SpreadsheetColumns columns = emptyColumns();
    std::size_t at = 0;
    const auto take = [&](void *p, std::size_t n) {
        if (in.size() - at < n) return false;
        std::memcpy(p, in.data() + at, n);
        at += n;
        return true;
    };
    for (int col = 0; col < 2; ++col) {
        for (int row = 0; row < kRowsRead; ++row) {
            char kind = 0;
            if (!take(&kind, 1)) return std::nullopt;
            SpreadsheetCell &cell = cellAt(columns, row, col);
            if (kind == 1) {
                double number = 0;
                if (!take(&number, sizeof number)) return std::nullopt;
                cell = numberCell(number);
            } else if (kind == 2) {
                std::uint32_t length = 0;
                if (!take(&length, sizeof length) || in.size() - at < length) return std::nullopt;
                cell = textCell(QString::fromUtf8(in.data() + at, static_cast<qsizetype>(length)));
                at += length;
            } else if (kind == 3) {
                cell.kind = SpreadsheetCell::Kind::Error;
            } else if (kind != 0) {
                return std::nullopt;
            }
        }
    }
    if (at != in.size()) return std::nullopt;
    return columns;
}

// A pipe that becomes readable once a stop is requested, so that the wait
// for the reader wakes at once rather than at its next look at the clock.
class StopPipe {
public:
    explicit StopPipe(std::stop_token stop) {
        if (pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) fds_[0] = fds_[1] = -1;
        if (stop.stop_possible() && fds_[1] >= 0)
            callback_.emplace(std::move(stop), [fd = fds_[1]] {
                const char byte = 0;
                [[maybe_unused]] const ssize_t n = write(fd, &byte, 1);
            });
    }
    StopPipe(const StopPipe &) = delete;
    StopPipe &operator=(const StopPipe &) = delete;
    ~StopPipe() {
        callback_.reset(); // no write after the descriptors are closed
        for (const int fd : fds_)
            if (fd >= 0) close(fd);
    }
    bool valid() const { return fds_[0] >= 0; }
    int readEnd() const { return fds_[0]; }

private:
    int fds_[2] = {-1, -1};
    std::optional<std::stop_callback<std::function<void()>>> callback_;
};

std::optional<SpreadsheetColumns> runReader(const QByteArray &reader, const QByteArray &path,
                                            std::chrono::milliseconds timeLimit,
                                            std::stop_token stop) {
    if (reader.isEmpty() || stop.stop_requested()) return std::nullopt;
    const StopPipe stopPipe(stop);
    if (!stopPipe.valid()) return std::nullopt;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    // The pipe becomes descriptor 3 (dup2 clears close-on-exec); standard
    // input and output go nowhere.
    posix_spawn_file_actions_adddup2(&actions, fds[1], kResultFd);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    // A clean signal state: nothing blocked, default actions.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    // The reader compares this with its parent to notice that this process
    // ended before the reader could bind its life to it.
    QByteArray parent = QByteArray::number(static_cast<qlonglong>(getpid()));
    char *const argv[] = {const_cast<char *>(reader.constData()),
                          const_cast<char *>(path.constData()), parent.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, reader.constData(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return std::nullopt;
    }

    std::string in;
    char buffer[4096];
    // Past the time limit, or stopped: the reader is ended, not waited for.
    bool timedOut = false;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 left = qint64(timeLimit.count()) - clock.elapsed();
        if (left <= 0 || stop.stop_requested()) {
            timedOut = true;
            break;
        }
        pollfd pfds[2] = {{fds[0], POLLIN, 0}, {stopPipe.readEnd(), POLLIN, 0}};
        const int ready = poll(pfds, 2, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0 || pfds[1].revents != 0) {
            timedOut = true;
            break;
        }
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        in.append(buffer, static_cast<std::size_t>(n));
        if (in.size() > 4 * 1024 * 1024) { // two columns of text never need this much
            timedOut = true;
            break;
        }
    }
    close(fds[0]);
    if (timedOut) kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return decodeColumns(in);
}

// The reader executable: beside the library or program that holds this
// code (the build folder; lib/tarvel when installed, beside the module), or
// where TARVEL_SHEET_READER says.
QByteArray findReader() {
    if (const QByteArray named = qgetenv("TARVEL_SHEET_READER"); !named.isEmpty()) return named;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&findReader), &info) == 0 || !info.dli_fname) return {};
    const QString folder = QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath();
    for (const QString &candidate :
         {folder + QStringLiteral("/tarvel-sheet-reader"),
          folder + QStringLiteral("/../lib/tarvel/tarvel-sheet-reader")}) {
        if (QFileInfo(candidate).isExecutable()) return QFile::encodeName(candidate);
    }
    return {};
}

// Collects the first two cells of the rows read from orcus' CSV
// parser.
class CsvCollector {
public:
    explicit CsvCollector(SpreadsheetColumns &columns) : columns_(columns) {}

    void begin_row() { col_ = 0; }
    void end_row() { ++row_; }

    void cell(std::string_view text) {
        if (row_ < kRowsRead && col_ < 2) cellAt(columns_, row_, col_) = toCell(text);
        ++col_;
    }

private:
    static SpreadsheetCell toCell(std::string_view text) {
        constexpr std::string_view blanks = " \t\r\n";
        const auto begin = text.find_first_not_of(blanks);
        if (begin == std::string_view::npos) return {};
        text = text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
        double value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error == std::errc() && end == text.data() + text.size() && std::isfinite(value))
            return numberCell(value);
        return textCell(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }

    SpreadsheetColumns &columns_;
    int row_ = 0;
    int col_ = 0;
};

std::optional<SpreadsheetColumns> readCsv(const QByteArray &data) {
    // A text file has no NUL bytes; a binary file renamed to .csv would
    // otherwise pour garbage into the fields.
    if (data.contains('\0')) return std::nullopt;
    // The parser knows only '\n' as line end and chokes on the '\r' of a
    // CRLF after a quoted cell.
    QByteArray normalized = data;
    normalized.replace("\r\n", "\n").replace('\r', '\n');
    QByteArrayView text(normalized);
    if (text.startsWith("\xEF\xBB\xBF")) text = text.sliced(3); // UTF-8 byte order mark
    const qsizetype lineEnd = text.indexOf('\n');
    const QByteArrayView firstLine = lineEnd < 0 ? text : text.first(lineEnd);
    orcus::csv::parser_config config;
    const char delimiter = firstLine.contains(';') ? ';' : firstLine.contains('\t') ? '\t' : ',';
    config.delimiters.push_back(delimiter);
    config.text_qualifier = '"';
    SpreadsheetColumns columns = emptyColumns();
    CsvCollector collector(columns);
    orcus_compat::parseCsv(std::string_view(text.data(), static_cast<size_t>(text.size())),
                           collector, config);
    return columns;
}

bool isValidUtf8(const QByteArray &data) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder.decode(data);
    return !decoder.hasError();
}

bool startsWith(const QByteArray &data, std::string_view magic) {
    return data.startsWith(
        QByteArray::fromRawData(magic.data(), static_cast<qsizetype>(magic.size())));
}

} // namespace

std::unique_ptr<SpreadsheetApplication> XlsxSpreadsheet::createApplication() {
    return std::make_unique<RecordingApplication>();
}

XlsxSpreadsheet::XlsxSpreadsheet() : readerPath_(QFile::decodeName(findReader())) {}

XlsxSpreadsheet::XlsxSpreadsheet(QString readerPath, std::chrono::milliseconds timeLimit)
    : readerPath_(std::move(readerPath)), timeLimit_(timeLimit) {}

std::optional<SpreadsheetColumns> XlsxSpreadsheet::readColumns(const QString &fileName) {
    return readColumnsUnlessStopped(fileName, {});
}

std::optional<SpreadsheetColumns> XlsxSpreadsheet::readColumnsUnlessStopped(const QString &fileName,
                                                                            std::stop_token stop) {
    try {
        return runReader(QFile::encodeName(readerPath_), QFile::encodeName(fileName), timeLimit_,
                         std::move(stop));
    } catch (...) {
        // Only the pipe's buffers can fail here (std::bad_alloc), and that
        // may not reach the window either.
        return std::nullopt;
    }
}

std::optional<SpreadsheetColumns> readWorkbook(const QString &fileName) {
    // A named pipe or a device would block the open or never end; only a
    // regular file is a workbook.
    const auto content = readRegularFile(fileName, kMaxFileBytes);
    if (!content) return std::nullopt;
    const QByteArray &data = *content;

    using namespace std::string_view_literals;
    if (startsWith(data, "PK\x03\x04"sv)) {
        // The reader of .xlsx follows the package's own relationships,
        // which orcus does not where a writer names its parts absolutely
        // (openpyxl, pandas).
        if (isXlsxPackage(QByteArrayView(data))) return readXlsxColumns(QByteArrayView(data));
        const auto format = orcus_compat::detectFormat(
            std::string_view(data.constData(), static_cast<size_t>(data.size())));
        if (format != orcus::format_t::ods) return std::nullopt;
        // orcus' parsers are out of our hands: they get no part nested
        // deeper than a stack can follow (see workbook_xml.h).
        if (!odsPartsNestWithin(QByteArrayView(data), kMaxFileBytes)) return std::nullopt;
        return readWithOrcus<orcus::orcus_ods>(data);
    }
    if (startsWith(data, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv))
        return readLegacyXls(QFile::encodeName(fileName).constData());
    if (QFileInfo(fileName).suffix().compare(u"csv", Qt::CaseInsensitive) == 0)
        // Text saved by a Russian Windows is often Windows-1251.
        return readCsv(isValidUtf8(data) ? data : cp1251::decode(data).toUtf8());
    return std::nullopt;
}

int runWorkbookReader(const char *fileName, const char *parentId) {
    // First of all, so that no reading can start in a process that could
    // outlive the program. The signal comes when the thread that started
    // the reader ends; runReader waits for the reader on that thread, so
    // that happens only when the program ends.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (parentId) {
        long long parent = 0;
        const char *end = parentId + std::strlen(parentId);
        const auto [stop, error] = std::from_chars(parentId, end, parent);
        if (error != std::errc() || stop != end || parent <= 0) return 2;
        // Another parent: the program ended before the signal was asked
        // for, and the reader was handed on. Nobody waits for the cells.
        if (getppid() != static_cast<pid_t>(parent)) return 1;
    }
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    // A lower limit set from outside stays as it is.
    if (rlimit cpu{}; getrlimit(RLIMIT_CPU, &cpu) == 0) {
        cpu.rlim_cur = std::min(cpu.rlim_cur, kReaderCpuSeconds);
        cpu.rlim_max = std::min(cpu.rlim_max, kReaderCpuHardSeconds);
        setrlimit(RLIMIT_CPU, &cpu);
    }
    // The address space the reader may use from now on is what it already
    // has plus the allowance.
    if (QFile statm(QStringLiteral("/proc/self/statm")); statm.open(QIODevice::ReadOnly)) {
        const unsigned long long pages = statm.readLine().split(' ').value(0).toULongLong();
        const auto pageSize = static_cast<unsigned long long>(sysconf(_SC_PAGESIZE));
        const rlim_t limit = pages * pageSize + kReaderMemoryBytes;
        const rlimit r{limit, limit};
        setrlimit(RLIMIT_AS, &r);
    }
    std::optional<std::string> out;
    try {
        if (const auto columns = readWorkbook(QFile::decodeName(fileName)))
            out = encodeColumns(*columns);
    } catch (...) {
        // Broken files make the parsers throw anything from their own
        // exceptions to std::bad_alloc at the ceiling: not a workbook.
    }
    if (!out) return 1;
    const char *p = out->data();
    std::size_t left = out->size();
    while (left > 0) {
        const ssize_t n = write(kResultFd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return 1;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}

} // namespace tarvel::platform
