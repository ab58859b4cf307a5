#include "SkinIni.h"

#include <QFile>
#include <QRegularExpression>

namespace skingen {

bool ParseRect(const QString& text, QRect* out) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*(-?\\d+)\\s*,\\s*(-?\\d+)\\s*,\\s*(-?\\d+)\\s*,\\s*(-?\\d+)"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return false;
    *out = QRect(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    return true;
}

bool SkinIni::Load(const QString& path) {
    path_ = path;
    sections_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = file.errorString();
        return false;
    }
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    Section* current = nullptr;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            sections_.append({line.mid(1, line.size() - 2).trimmed(), {}});
            current = &sections_.last();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || current == nullptr) continue;
        // Like the platform's profile reader: one pair of matching quotes around a value is removed,
        // which is how a value keeps leading or trailing blanks.
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        current->entries.append({line.left(eq).trimmed(), value});
    }
    return true;
}

const SkinIni::Section* SkinIni::Find(const QString& section) const {
    for (const auto& s : sections_)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

QList<SkinIni::Entry> SkinIni::Entries(const QString& section) const {
    const Section* s = Find(section);
    return s ? s->entries : QList<Entry>{};
}

bool SkinIni::HasKey(const QString& section, const QString& key) const {
    const Section* s = Find(section);
    if (!s) return false;
    for (const auto& e : s->entries)
        if (e.first.compare(key, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString SkinIni::Value(const QString& section, const QString& key, const QString& fallback) const {
    const Section* s = Find(section);
    if (!s) return fallback;
    for (const auto& e : s->entries)
        if (e.first.compare(key, Qt::CaseInsensitive) == 0) return e.second;
    return fallback;
}

bool SkinIni::Rect(const QString& section, const QString& key, QRect* out) const {
    if (!HasKey(section, key)) return false;
    return ParseRect(Value(section, key), out);
}

}  // namespace skingen
