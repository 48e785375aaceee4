#pragma once

#include "Resultado.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <map>
#include <memory>
#include <vector>

struct sqlite3_stmt;

namespace portiva {

class Conexion;
class EnlaceSqlite;

// A client-side snapshot of a query, as the station's recordsets behave:
// - Open reads every row at once; RecordCount is exact from then on; BOF and EOF are both true
//   when there are no rows; the first row is current otherwise.
// - AbsolutePosition is the 1-based position of the current row, negative when there is none
//   (-1 empty or current row deleted, -2 before the first row, -3 after the last).
// - MovePrevious past the first row leaves BOF true, MoveNext past the last leaves EOF true
//   (moving on from there is error 3021); Move(n) counts from the first row.
// - Fields are read and written as QVariant (a null QVariant is Null): text as QString, dates
//   as QDate (QDateTime when a time of day is stored), yes/no as bool, numbers as double or
//   qlonglong, binary as QByteArray. Writes go to the row's table by its `ID`: setting a field
//   starts an edit that Update stores (moving with an edit pending stores it first); AddNew
//   appends a row that Update inserts, after which it is the last row and carries its `ID`;
//   Delete removes the current row from the table at once (Update after it does nothing).
// - A failed Update drops the pending edit (and an unsaved new row), so the snapshot always
//   shows what the table holds.
// Field names compare case-insensitively. Nothing throws: every call reports by its result.
class Recordset {
public:
    enum class TipoCampo { Otro, Entero, Real, Texto, Fecha, SiNo, Binario };

    // One field of the current row, as rs.Fields("name").Value() reads it.
    class Campo {
    public:
        Campo(Recordset& rs, QString nombre) : rs_(rs), nombre_(std::move(nombre)) {}
        ResultadoDe<QVariant> Value() const;
        Resultado setValue(const QVariant& valor);

    private:
        Recordset& rs_;
        QString nombre_;
    };

    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Binary values (templates) of the rows written back to a table are not kept in the
    // snapshot: each is read from the table by the row's ID when the field is read. Set before
    // Open; the record form uses it so that the member file is not held in memory twice. Such a
    // value reads as the table holds it at that moment (Null once another program deleted the
    // row); its byte view (bytesEn) stays valid until another deferred value is read.
    void DiferirBinarios(bool diferir) { diferirBinarios_ = diferir; }

    // Runs the query (Jet dialect, see DialectoJet.h) with "?" placeholders bound to the
    // parameters in order, and reads every row. Errors: already open (3705), connection closed
    // (3704), bad SQL or engine failure (SQLite's code); the recordset then stays closed.
    Resultado Open(const QString& sql, Conexion& conexion, const QVariantList& parametros = {});
    // 1 when open, 0 when closed.
    int State() const { return abierto_ ? 1 : 0; }
    // Drops the snapshot and any pending edit. Error: already closed (3704).
    Resultado Close();

    // A closed recordset reads as empty: BOF and EOF true, RecordCount -1.
    bool Bof() const;
    bool Eof() const;
    long RecordCount() const;
    long AbsolutePosition() const;

    Resultado MoveFirst();
    Resultado MoveLast();
    Resultado MoveNext();
    Resultado MovePrevious();
    Resultado Move(long filasDesdeLaPrimera);

    Resultado AddNew();
    Resultado Update();
    Resultado CancelUpdate();
    Resultado Delete();

    Campo Fields(const QString& nombre) { return Campo(*this, nombre); }
    ResultadoDe<QVariant> Valor(const QString& campo) const;
    Resultado PonerValor(const QString& campo, const QVariant& valor);

    int FieldCount() const { return static_cast<int>(columnas_.size()); }
    QString FieldName(int indice) const;
    TipoCampo FieldType(int indice) const;
    // Index of a field by name (any case), -1 when there is none.
    int IndiceCampo(const QString& nombre) const;

    // Fast reads of the current row's stored values by field index, for scans: Null (or no
    // current row, or a bad index) reads as a null QVariant / an empty view. The view stays
    // valid until the recordset is written, reopened or closed.
    QVariant valorEn(int indice) const;
    bool esNuloEn(int indice) const;
    QByteArrayView bytesEn(int indice) const;
    // How many bytes bytesEn(indice) holds (as read by Open), without reading a deferred value
    // from the table.
    qsizetype largoEn(int indice) const;

private:
    struct Columna {
        QString nombre;
        QString tabla;  // origin table, empty for an expression
        QString origen; // origin column
        TipoCampo tipo = TipoCampo::Otro;
    };
    struct Celda {
        int tipo = 5; // SQLite storage class; 5 is NULL
        int largo = 0;
        union {
            qint64 entero;
            double real;
            qint64 desde; // offset of text or blob bytes in datos_; -1: read from the table
        };
        Celda() : entero(0) {}
    };
    enum class Edicion { Ninguna, Editando, Nueva };

    bool hayFilaActual() const;
    const Celda& celda(long fila, int indice) const;
    Celda& celda(long fila, int indice);
    QVariant convertir(const Celda& c, TipoCampo tipo, const std::vector<char>& datos) const;
    static bool esDiferida(const Celda& c) { return c.tipo == 4 && c.desde < 0; }
    bool diferible(int indice) const;
    // Reads a deferred value of the current row from its table into diferida_.
    ResultadoDe<QVariant> leerDiferida(int indice) const;
    void guardarCelda(Celda& c, const QVariant& valor);
    ResultadoDe<QVariant> normalizar(int indice, const QVariant& valor) const;
    static Celda leerCelda(sqlite3_stmt* st, int columna, bool diferir, std::vector<char>& datos);
    Resultado leerFilas(sqlite3_stmt* st);
    Resultado releerFila(long fila, qint64 id);
    Resultado actualizarFila();
    Resultado insertarFila();
    void quitarFila(long fila);
    void descartarEdicion();
    Resultado antesDeMover();
    Resultado comprobarAbierto() const;
    QString nombreCitado(const QString& nombre) const;
    static ErrorDB sinFilaActual();
    // The column of `campo` on the current row of an open recordset, or why there is none.
    ResultadoDe<int> campoEnFilaActual(const QString& campo) const;

    std::shared_ptr<EnlaceSqlite> enlace_;
    bool abierto_ = false;
    std::vector<Columna> columnas_;
    std::vector<Celda> celdas_;
    std::vector<char> datos_;
    long filas_ = 0;
    long actual_ = 0;      // -1 before the first row, filas_ after the last
    bool borrada_ = false; // the current row was deleted; actual_ is where the next one is now
    QString tabla_;        // the table writes go to
    int indiceID_ = -1;    // the column holding that table's ID
    Edicion edicion_ = Edicion::Ninguna;
    std::map<int, QVariant> pendientes_;
    long antesDeNueva_ = 0;
    bool borradaAntesDeNueva_ = false;
    bool diferirBinarios_ = false;
    // The bytes of the deferred value read last.
    mutable std::vector<char> diferida_;
};

} // namespace portiva
