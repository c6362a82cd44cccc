#include "core/datfile.h"

#include "core/folderscan.h"

#include <QFile>
#include <QXmlStreamReader>

namespace vx::datfile
{

namespace
{

QByteArray hexBytes(QStringView text, qsizetype bytes)
{
    const QByteArray raw = QByteArray::fromHex(text.toLatin1());
    // fromHex skips what is no digit; a value of the wrong length names no dump.
    return raw.size() == bytes && text.size() == bytes * 2 ? raw : QByteArray();
}

QString lineError(const QXmlStreamReader& xml, const QString& what)
{
    return QStringLiteral("%1 (line %2).").arg(what).arg(xml.lineNumber());
}

} // namespace

const Rom* Dat::find(const romsums::Sums& sums) const
{
    if (const auto at = m_bySha1.constFind(sums.sha1); at != m_bySha1.cend())
        return &m_roms[size_t(*at)];
    for (auto at = m_byCrc32.constFind(sums.crc32);
         at != m_byCrc32.cend() && at.key() == sums.crc32; ++at) {
        const Rom& rom = m_roms[size_t(*at)];
        if (rom.sha1.isEmpty() && rom.size == sums.size)
            return &rom;
    }
    return nullptr;
}

Loaded load(const QString& path)
{
    if (pathKind(path) != PathKind::File)
        return {nullptr, QStringLiteral("The file is missing or is not a file.")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {nullptr, QStringLiteral("The file cannot be read.")};
    if (file.size() > kMaxFileBytes)
        return {nullptr, QStringLiteral("The file is too large to be a DAT (over %1 MiB).")
                             .arg(kMaxFileBytes >> 20)};

    if (file.size() == 0)
        return {nullptr, QStringLiteral("The file is empty.")};

    auto dat = std::make_shared<Dat>();
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement())
        return {nullptr, lineError(xml, xml.errorString())};
    if (xml.name() != u"datafile")
        return {nullptr, QStringLiteral("The file is XML but no Logiqx DAT.")};

    QString game;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.name();
        // Newer DATs call a game a machine.
        if (name == u"game" || name == u"machine") {
            game = xml.attributes().value(QLatin1String("name")).toString();
            continue;
        }
        if (name != u"rom")
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        Rom rom;
        rom.game = game;
        bool sizeOk = false;
        const qint64 size = attributes.value(QLatin1String("size")).toLongLong(&sizeOk);
        rom.size = sizeOk && size >= 0 ? size : -1;
        bool crcOk = false;
        const QStringView crc = attributes.value(QLatin1String("crc"));
        rom.crc32 = crc.size() <= 8 ? crc.toUInt(&crcOk, 16) : 0;
        rom.hasCrc32 = crcOk && !crc.isEmpty() && rom.size >= 0;
        rom.sha1 = hexBytes(attributes.value(QLatin1String("sha1")), 20);
        if (rom.sha1.isEmpty() && !rom.hasCrc32)
            continue; // nothing to know a dump by
        if (qsizetype(dat->m_roms.size()) >= kMaxRoms)
            return {nullptr, QStringLiteral("The DAT lists more than %L1 ROMs.").arg(kMaxRoms)};
        const auto index = qsizetype(dat->m_roms.size());
        // The first listing of a dump names it, as DAT managers take it.
        if (!rom.sha1.isEmpty() && !dat->m_bySha1.contains(rom.sha1))
            dat->m_bySha1.insert(rom.sha1, index);
        if (rom.hasCrc32)
            dat->m_byCrc32.insert(rom.crc32, index);
        dat->m_roms.push_back(std::move(rom));
    }
    if (xml.hasError())
        return {nullptr, lineError(xml, xml.errorString())};
    if (file.error() != QFileDevice::NoError)
        return {nullptr, QStringLiteral("The file cannot be read.")};
    if (dat->m_roms.empty())
        return {nullptr, QStringLiteral("The DAT lists no ROMs.")};
    return {std::move(dat), QString()};
}

} // namespace vx::datfile
