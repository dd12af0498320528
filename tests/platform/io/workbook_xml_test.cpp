#include "platform/io/workbook_xml.h"
#include "support/zip_writer.h"

#include <gtest/gtest.h>

using namespace tarvel::platform;
using tarvel::test::makeZip;

namespace {

QByteArray nested(int levels, const QByteArray &inside = "x") {
    return QByteArray("<a>").repeated(levels) + inside + QByteArray("</a>").repeated(levels);
}

// ` a0="x" a1="x" ...`, `count` of them.
QByteArray attributes(int count) {
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += " a" + QByteArray::number(i) + "=\"x\"";
    return out;
}

} // namespace

// Qt's reader compares each attribute of a tag with every other one: the
// scan thins crowded tags first, or one tag of a hundred thousand
// attributes would keep it busy longer than a reading may take (a case
// below has one; how long it takes is not a test's business).
TEST(XmlNesting, CountsOpenElementsAgainstTheLimitOf256) {
    struct Case {
        const char *name;
        QByteArray xml;
        XmlNesting expected;
    };
    const Case cases[] = {
        {"a worksheet's few levels", R"(<w><d><r><c t="s"><v>1</v></c></r></d></w>)",
         XmlNesting::Within},
        {"256 levels", nested(256), XmlNesting::Within},
        {"257 levels", nested(257), XmlNesting::TooDeep},
        {"an empty element at level 257", nested(256, "<b/>"), XmlNesting::TooDeep},
        {"200 000 levels", nested(200000), XmlNesting::TooDeep},
        // Closed elements give their levels back.
        {"a thousand siblings 200 levels deep", "<r>" + nested(200).repeated(1000) + "</r>",
         XmlNesting::Within},
        {"tags inside a comment and CDATA",
         "<r><!--" + QByteArray("<b>").repeated(300) + "--><![CDATA[" +
             QByteArray("<b>").repeated(300) + "]]></r>",
         XmlNesting::Within},
        {"an undeclared prefix", "<x:r><x:c/></x:r>", XmlNesting::Within},
        {"a tag of 100 000 attributes at level 257", nested(256, "<b" + attributes(100000) + "/>"),
         XmlNesting::TooDeep},
        {"crossed tags", "<a><b></a></b>", XmlNesting::Malformed},
        {"ending inside", "<a><b>", XmlNesting::Malformed},
        {"nothing", "", XmlNesting::Malformed},
    };
    for (const Case &c : cases)
        EXPECT_EQ(xmlNesting(QByteArrayView(c.xml)), c.expected) << c.name;
}

// Of an OpenDocument package, the parts orcus parses are checked: the
// content and the styles, nothing else.
TEST(OdsPartsNestWithin, ChecksTheContentAndStylesParts) {
    constexpr qint64 kLimit = 4096;
    struct Case {
        const char *name;
        QByteArray package;
        bool within;
    };
    const Case cases[] = {
        {"content only", makeZip({{"content.xml", nested(5)}}), true},
        {"deep styles", makeZip({{"content.xml", nested(5)}, {"styles.xml", nested(300)}}), false},
        {"content that is no XML", makeZip({{"content.xml", "<a><b></a>"}}), false},
        {"content larger than the limit",
         makeZip({{"content.xml", "<a>" + QByteArray(kLimit, ' ') + "</a>"}}), false},
        // Parts orcus never parses may be anything.
        {"deep settings", makeZip({{"content.xml", nested(5)}, {"settings.xml", nested(300)}}),
         true},
        {"no zip", "PK\x03\x04 broken", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(odsPartsNestWithin(QByteArrayView(c.package), kLimit), c.within) << c.name;
}
