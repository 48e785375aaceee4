#pragma once

#include "VistaClientes.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

namespace portiva::prueba {

// A member form for tests: records what the database asked of it, in order, and keeps the
// record-form flags, the service list and the count labels.
class VistaFalsa final : public VistaClientes {
public:
    void RecordSetToText() override { llamadas << QStringLiteral("RecordSetToText"); }
    void InitTextBoxes() override { llamadas << QStringLiteral("InitTextBoxes"); }
    void ActNavegador() override { llamadas << QStringLiteral("ActNavegador"); }
    void EditMode(bool valor) override {
        llamadas << (valor ? QStringLiteral("EditMode(True)") : QStringLiteral("EditMode(False)"));
        modoEdicion = valor;
    }
    void InfoCaducidadDB() override { llamadas << QStringLiteral("InfoCaducidadDB"); }
    Resultado GuardarCliente() override {
        llamadas << QStringLiteral("GuardarCliente");
        modoEdicion = false;
        return alGuardar ? alGuardar() : Resultado();
    }
    Resultado DeshacerCambiosDB() override {
        llamadas << QStringLiteral("DeshacerCambiosDB");
        modoEdicion = false;
        return alDeshacer ? alDeshacer() : Resultado();
    }
    void LimpiarServicios() override {
        llamadas << QStringLiteral("LimpiarServicios");
        servicios.clear();
    }
    void AgregarServicio(const QString& nombre, qint32 id) override {
        servicios.emplace_back(nombre, id);
    }
    void MostrarContador(Contador contador, const QString& texto) override {
        contadores[contador] = texto;
    }
    bool ModoEdicion() const override { return modoEdicion; }
    bool RegistroNuevo() const override { return registroNuevo; }
    void setRegistroNuevo(bool valor) override { registroNuevo = valor; }
    qint16 PosicionPrevia() const override { return posicionPrevia; }
    void setPosicionPrevia(qint16 valor) override { posicionPrevia = valor; }
    int InfoAmpliadaPrevia() const override { return infoAmpliadaPrevia; }
    void setInfoAmpliadaPrevia(int valor) override { infoAmpliadaPrevia = valor; }
    int chkInformacionAmpliada() const override { return casillaInfo; }
    void setChkInformacionAmpliada(int valor) override { casillaInfo = valor; }

    QString contador(Contador c) const { return contadores.value(c); }

    QStringList llamadas;
    std::vector<std::pair<QString, qint32>> servicios;
    QMap<Contador, QString> contadores;
    bool modoEdicion = false;
    bool registroNuevo = false;
    qint16 posicionPrevia = 0;
    int infoAmpliadaPrevia = 0;
    int casillaInfo = 0;
    std::function<Resultado()> alGuardar;
    std::function<Resultado()> alDeshacer;
};

} // namespace portiva::prueba
