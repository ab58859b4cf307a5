// A small reader for the skin's layout files: sections and keys compare without regard to case,
// entries keep their file order (the painter walks BUTTONINFO in order), lines starting with ';'
// and lines without '=' are ignored, values are trimmed and lose one pair of surrounding quotes.
// UTF-8 with or without a byte-order mark.
#pragma once

#include <QList>
#include <QPair>
#include <QRect>
#include <QString>

namespace skingen {

class SkinIni {
public:
    using Entry = QPair<QString, QString>;  // key as written, value trimmed

    // Reads the file; false (with the reason in error()) when it cannot be opened.
    bool Load(const QString& path);

    QString Value(const QString& section, const QString& key, const QString& fallback = {}) const;
    QList<Entry> Entries(const QString& section) const;
    bool HasKey(const QString& section, const QString& key) const;

    // A rectangle in the "x,y,w,h" form; false when the key is missing or malformed.
    bool Rect(const QString& section, const QString& key, QRect* out) const;

    const QString& path() const { return path_; }
    const QString& error() const { return error_; }

private:
    struct Section {
        QString name;
        QList<Entry> entries;
    };
    const Section* Find(const QString& section) const;

    QString path_;
    QString error_;
    QList<Section> sections_;
};

// Parses "x,y,w,h" (extra text after the fourth number is ignored, as the program's reader does).
bool ParseRect(const QString& text, QRect* out);

}  // namespace skingen
