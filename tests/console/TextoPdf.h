#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace portiva::prueba {

// The text of a PDF file as pdftotext lays it out (pages split by form feeds); empty when
// pdftotext does not answer.
inline QString TextoPdf(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace portiva::prueba
