#include "update_manifest.h"

#include <QCryptographicHash>
#include <QSet>

namespace halvo {

namespace {

constexpr qsizetype Sha256Size = 32;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A whole number of at most `maxDigits` digits, without a sign and without leading zeros.
std::optional<qint64> wholeNumber(QByteArrayView text, qsizetype maxDigits)
{
    if (text.isEmpty() || text.size() > maxDigits || (text.size() > 1 && text.front() == '0'))
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// 64 lowercase hexadecimal digits as their 32 bytes. Upper case is refused, so that one hash has
// one form in the text.
std::optional<QByteArray> sha256(QByteArrayView text)
{
    if (text.size() != 2 * Sha256Size)
        return std::nullopt;
    for (const char c : text)
        if (!isDigit(c) && !(c >= 'a' && c <= 'f'))
            return std::nullopt;
    return QByteArray::fromHex(text.toByteArray());
}

// `text` split at each `separator` into exactly `count` pieces, none of them empty: two
// separators together, or one at an end, make it none.
std::optional<QList<QByteArrayView>> pieces(QByteArrayView text, char separator, qsizetype count)
{
    QList<QByteArrayView> split;
    qsizetype start = 0;
    for (qsizetype at = 0; at <= text.size(); ++at) {
        if (at < text.size() && text[at] != separator)
            continue;
        if (at == start)
            return std::nullopt;
        split.append(text.sliced(start, at - start));
        start = at + 1;
    }
    if (split.size() != count)
        return std::nullopt;
    return split;
}

std::optional<UpdateManifest::File> fileLine(QByteArrayView line)
{
    const auto fields = pieces(line, ' ', 4);
    if (!fields)
        return std::nullopt;
    const QString name = QString::fromLatin1(fields->at(0));
    const auto version = ReleaseVersion::parse(fields->at(1));
    // Fifteen digits are below a petabyte, far above any file of a release, and never overflow.
    const auto size = wholeNumber(fields->at(2), 15);
    const auto hash = sha256(fields->at(3));
    if (!UpdateManifest::isFileName(name) || !version || !size || !hash)
        return std::nullopt;
    return UpdateManifest::File{name, *version, *size, *hash};
}

} // namespace

std::optional<ReleaseVersion> ReleaseVersion::parse(QByteArrayView text)
{
    const auto numbers = pieces(text, '.', 3);
    if (!numbers)
        return std::nullopt;
    // Nine digits always fit an int.
    const auto major = wholeNumber(numbers->at(0), 9);
    const auto minor = wholeNumber(numbers->at(1), 9);
    const auto revision = wholeNumber(numbers->at(2), 9);
    if (!major || !minor || !revision)
        return std::nullopt;
    return ReleaseVersion{int(*major), int(*minor), int(*revision)};
}

QString ReleaseVersion::text() const
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
}

const QString UpdateManifest::FileName = QStringLiteral("manifest.txt");

UpdateManifest::File UpdateManifest::File::of(const QString& name, const ReleaseVersion& version,
                                              const QByteArray& content)
{
    return {name, version, content.size(),
            QCryptographicHash::hash(content, QCryptographicHash::Sha256)};
}

bool UpdateManifest::File::describes(const QByteArray& content) const
{
    return content.size() == size
           && QCryptographicHash::hash(content, QCryptographicHash::Sha256) == sha256;
}

bool UpdateManifest::isFileName(const QString& name)
{
    if (name.isEmpty() || name.size() > 100 || name.front() == QLatin1Char('.'))
        return false;
    for (const QChar c : name) {
        const bool allowed = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                             || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                             || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                             || c == QLatin1Char('.') || c == QLatin1Char('_')
                             || c == QLatin1Char('-');
        if (!allowed)
            return false;
    }
    return true;
}

std::optional<UpdateManifest> UpdateManifest::parse(const QByteArray& text)
{
    if (text.size() > MaxSize || !text.endsWith('\n'))
        return std::nullopt;
    // The text ends with a line feed, so the last piece is empty and is no line.
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    for (qsizetype at = text.indexOf('\n'); at >= 0; at = text.indexOf('\n', start)) {
        lines.append(QByteArrayView(text).sliced(start, at - start));
        start = at + 1;
    }
    if (lines.size() < 2)
        return std::nullopt;

    const auto heading = pieces(lines.first(), ' ', 3);
    if (!heading || heading->at(0) != QByteArrayView("HALVO")
        || heading->at(1) != QByteArrayView("release"))
        return std::nullopt;
    const auto version = ReleaseVersion::parse(heading->at(2));
    if (!version)
        return std::nullopt;

    UpdateManifest manifest;
    manifest.version = *version;
    QSet<QString> names;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        std::optional<File> file = fileLine(lines[i]);
        // One name is one file in the program folder, which may not tell letter case apart.
        if (!file || file->version > manifest.version || names.contains(file->name.toLower()))
            return std::nullopt;
        names.insert(file->name.toLower());
        manifest.files.append(std::move(*file));
    }
    return manifest;
}

QByteArray UpdateManifest::text() const
{
    QByteArray text = "HALVO release " + version.text().toLatin1() + '\n';
    for (const File& file : files)
        text += file.name.toLatin1() + ' ' + file.version.text().toLatin1() + ' '
                + QByteArray::number(file.size) + ' ' + file.sha256.toHex() + '\n';
    return text;
}

const UpdateManifest::File* UpdateManifest::file(const QString& name) const
{
    for (const File& file : files)
        if (file.name == name)
            return &file;
    return nullptr;
}

} // namespace halvo
