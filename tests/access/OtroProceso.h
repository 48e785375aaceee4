#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace portiva::prueba {

// Runs SQL on the database file from another process (the sqlite3 shell), as a second program
// writing the same file would.
inline void EnOtroProceso(const QString& ruta, const QString& sql) {
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), ruta});
    ASSERT_TRUE(p.waitForStarted(30000)) << "sqlite3 did not start";
    p.write(sql.toUtf8());
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(30000)) << "sqlite3 did not finish";
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
}

// A blob literal for SQL.
inline QString Blob(const QByteArray& bytes) {
    return QStringLiteral("X'%1'").arg(QString::fromLatin1(bytes.toHex()));
}

// A second connection to the file in this process (closed with it), for holding locks.
class OtraConexion {
public:
    explicit OtraConexion(const QString& ruta) {
        EXPECT_EQ(
            sqlite3_open_v2(ruta.toLocal8Bit().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr),
            SQLITE_OK);
    }
    ~OtraConexion() { sqlite3_close_v2(db_); }
    OtraConexion(const OtraConexion&) = delete;
    OtraConexion& operator=(const OtraConexion&) = delete;

    void ejecutar(const QString& sql) {
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &error), SQLITE_OK)
            << (error != nullptr ? error : "");
        sqlite3_free(error);
    }
    sqlite3* db() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

} // namespace portiva::prueba
