#pragma once

// The two orcus API series the reader is built against: 0.17 (Debian 12)
// and 0.18 (the orcus 0.19 of Debian 13). Of what the reader uses, only the
// CSV parser and the format detection differ: 0.18 takes std::string_view
// where 0.17 takes a pointer and a length, from the parser and from its
// handler alike. Everything here picks the call the installed headers
// declare, so no version number has to be passed in from the build.

#include <orcus/csv_parser.hpp>
#include <orcus/format_detection.hpp>

#include <cstddef>
#include <string_view>
#include <type_traits>

namespace tarvel::platform::orcus_compat {

// Hands each cell to Handler::cell(std::string_view) whichever way the
// parser calls it.
template <typename Handler> class CsvCells {
public:
    explicit CsvCells(Handler &handler) : handler_(handler) {}

    void begin_parse() {}
    void end_parse() {}
    void begin_row() { handler_.begin_row(); }
    void end_row() { handler_.end_row(); }
    void cell(std::string_view value, bool /*transient*/) { handler_.cell(value); }
    void cell(const char *p, std::size_t n, bool /*transient*/) {
        handler_.cell(p ? std::string_view(p, n) : std::string_view());
    }

private:
    Handler &handler_;
};

// Parses text as CSV, calling handler.begin_row(), handler.cell(value) for
// each cell and handler.end_row().
template <typename Handler>
void parseCsv(std::string_view text, Handler &handler, const orcus::csv::parser_config &config) {
    using Cells = CsvCells<Handler>;
    using Parser = orcus::csv_parser<Cells>;
    Cells cells(handler);
    if constexpr (std::is_constructible_v<Parser, std::string_view, Cells &,
                                          const orcus::csv::parser_config &>) {
        Parser parser(text, cells, config);
        parser.parse();
    } else {
        Parser parser(text.data(), text.size(), cells, config);
        parser.parse();
    }
}

// orcus' guess at the format of a whole file's content.
template <typename Text = std::string_view> orcus::format_t detectFormat(Text data) {
    if constexpr (requires { orcus::detect(data); })
        return orcus::detect(data);
    else
        return orcus::detect(reinterpret_cast<const unsigned char *>(data.data()), data.size());
}

} // namespace tarvel::platform::orcus_compat
