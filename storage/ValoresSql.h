#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

struct sqlite3_stmt;

namespace portiva {

// How values travel between QVariant and the member database file: dates as ISO text
// ("YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" when a time of day is set), yes/no as 0/1, templates
// as BLOB. Internal to the recordset layer.
namespace valores_sql {

// ISO text of a date; a date and time at midnight is written as the date alone.
QString textoFecha(const QDate& fecha);
QString textoFecha(const QDateTime& momento);

// The ISO text of a stored date read back as QDate (date only) or QDateTime (with a time);
// an unreadable text is handed back unchanged as a string, so nothing is lost.
QVariant leerFecha(const QString& texto);

// Binds one value to a "?" of a prepared statement (1-based). Returns SQLite's code.
int enlazar(sqlite3_stmt* st, int indice, const QVariant& valor);

} // namespace valores_sql

} // namespace portiva
