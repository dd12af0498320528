// Renders the help document (HTML) into the PDF shipped beside the program:
//   tarvel_make_help <help.html> <Help.pdf>
// Runs at build time, on the offscreen platform, so no display is needed.
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: tarvel_make_help <help.html> <Help.pdf>\n");
        return 2;
    }

    QFile source(args.at(1));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    QTextDocument document;
    document.setHtml(QString::fromUtf8(source.readAll()));

    // Written whole and then moved into place: a failed run leaves no
    // half-written document for the build to take as up to date.
    QSaveFile target(args.at(2));
    if (!target.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(2)));
        return 1;
    }
    {
        QPdfWriter writer(&target);
        writer.setTitle(QStringLiteral("Тарвел 3.0 — краткая справка"));
        writer.setCreator(QStringLiteral("Тарвел 3.0"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        document.print(&writer);
    }
    if (!target.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(2)));
        return 1;
    }
    return 0;
}
