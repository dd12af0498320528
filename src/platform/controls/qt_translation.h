// Qt's own texts in Russian: the standard buttons and dialogs, and the
// context menus of the text fields. They come from Qt's translation file,
// read when Qt first asks for one of those texts. A start shows none of
// them, and the file read at start kept about 0.1 MB of it resident in every
// session for nothing (the kernel maps a read file in blocks of 64 KiB).
#pragma once

#include <QString>
#include <QTranslator>

#include <atomic>
#include <mutex>

namespace tarvel::platform {

class QtTranslationOnDemand : public QTranslator {
public:
    // The file as QTranslator::load(fileName, directory) finds it, e.g.
    // "qtbase_ru" in QLibraryInfo::TranslationsPath. Nothing is read here.
    QtTranslationOnDemand(QString fileName, QString directory);

    // Installs it for the application, whose layout direction it first sets
    // to left to right, as Russian reads: left to Qt, the direction is asked
    // of the translation as soon as one is installed, and the file would be
    // read at start after all.
    void install();

    // Reads the file on the first call, from whichever thread makes it; a
    // null string (Qt then keeps its English text) when there is no file.
    QString translate(const char *context, const char *sourceText,
                      const char *disambiguation = nullptr, int n = -1) const override;
    // False until a reading has found no file.
    bool isEmpty() const override;

    bool wasRead() const { return read_.load(); }

private:
    void readOnce() const;

    QString fileName_;
    QString directory_;
    mutable std::mutex reading_;
    mutable QTranslator file_;
    mutable std::atomic<bool> read_{false};
    mutable std::atomic<bool> found_{false};
};

} // namespace tarvel::platform
