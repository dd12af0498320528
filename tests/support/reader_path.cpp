// Points the spreadsheet layer of every test executable at the workbook
// reader of this build: test executables live in a folder of their own,
// where the layer's search beside its own binary finds nothing. An
// explicit choice from outside is kept.
#include <QByteArray>
#include <QtGlobal>

namespace {

const bool kReaderNamed = [] {
    if (qEnvironmentVariableIsEmpty("TARVEL_SHEET_READER"))
        qputenv("TARVEL_SHEET_READER", QByteArray(TARVEL_READER_PATH));
    return true;
}();

} // namespace
