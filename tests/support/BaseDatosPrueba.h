#pragma once

#include "CarpetaTemporal.h"
#include "CreadorBaseDatos.h"

#include <QDate>
#include <QVariant>
#include <QVariantMap>
#include <gtest/gtest.h>
#include <vector>

namespace portiva::prueba {

// A throw-away program folder with an empty station database "Portiva.mdb" in it.
class BaseDatosPrueba {
public:
    BaseDatosPrueba() {
        const Resultado r = CreadorBaseDatos::CrearVacia(ruta());
        EXPECT_TRUE(r.ok()) << qPrintable(r.ok() ? QString() : r.error().texto());
    }
    QString carpeta() const { return carpeta_.ruta(); }
    QString ruta() const { return carpeta_.archivo(QStringLiteral("Portiva.mdb")); }

    void insertar(const QString& tabla, const std::vector<QVariantMap>& filas) {
        const Resultado r = CreadorBaseDatos::Insertar(ruta(), tabla, filas);
        ASSERT_TRUE(r.ok()) << qPrintable(r.error().texto());
    }
    void clientes(const std::vector<QVariantMap>& filas) {
        insertar(QStringLiteral("ClientesDB"), filas);
    }
    void servicios(const std::vector<QVariantMap>& filas) {
        insertar(QStringLiteral("ServiciosDB"), filas);
    }

private:
    CarpetaTemporal carpeta_;
};

// One member row: code, name, dates (a null QVariant for an empty date), staff flag.
inline QVariantMap Cliente(const QString& codigo, QVariant inicio = {}, QVariant caducidad = {},
                           QVariant personal = false, const QString& nombre = {}) {
    return {{QStringLiteral("fldCodigo"), codigo},
            {QStringLiteral("fldNombre"), nombre.isEmpty() ? codigo : nombre},
            {QStringLiteral("fldFechaInicio"), inicio},
            {QStringLiteral("fldFechaCaducidad"), caducidad},
            {QStringLiteral("fldStuffSiNo"), personal},
            {QStringLiteral("fldFotoPath"), QStringLiteral("")}};
}

inline QVariantMap Servicio(const QString& nombre, QVariant precio, const QString& intervalo = "d",
                            QVariant numero = 30) {
    return {{QStringLiteral("fldServicio"), nombre},
            {QStringLiteral("fldPrecio"), precio},
            {QStringLiteral("fldIntervalo"), intervalo},
            {QStringLiteral("fldNumero"), numero}};
}

} // namespace portiva::prueba
