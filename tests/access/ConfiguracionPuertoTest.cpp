#include "ConfiguracionPuerto.h"

#include <gtest/gtest.h>

namespace portiva {
namespace {

TEST(ConfiguracionPuerto, LeeLaLineaDeLaPlaca) {
    const auto c = ConfiguracionPuerto::Interpretar(QStringLiteral("19200,N,8,2"));
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->baudios, 19200);
    EXPECT_EQ(c->paridad, QSerialPort::NoParity);
    EXPECT_EQ(c->bitsDatos, QSerialPort::Data8);
    EXPECT_EQ(c->bitsParada, QSerialPort::TwoStop);
    EXPECT_EQ(c->Texto(), QStringLiteral("19200,N,8,2"));
}

TEST(ConfiguracionPuerto, OtrasParidadesYParadas) {
    const auto c = ConfiguracionPuerto::Interpretar(QStringLiteral("9600,e,7,1.5"));
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->paridad, QSerialPort::EvenParity);
    EXPECT_EQ(c->bitsDatos, QSerialPort::Data7);
    EXPECT_EQ(c->bitsParada, QSerialPort::OneAndHalfStop);
    EXPECT_EQ(c->Texto(), QStringLiteral("9600,E,7,1.5"));
    EXPECT_EQ(ConfiguracionPuerto::Interpretar(QStringLiteral("1200,O,5,1"))->paridad,
              QSerialPort::OddParity);
    EXPECT_EQ(ConfiguracionPuerto::Interpretar(QStringLiteral("1200,M,6,1"))->paridad,
              QSerialPort::MarkParity);
    EXPECT_EQ(ConfiguracionPuerto::Interpretar(QStringLiteral("1200,S,6,1"))->paridad,
              QSerialPort::SpaceParity);
}

TEST(ConfiguracionPuerto, RechazaTextosMalFormados) {
    for (const char* malo : {"", "19200", "19200,N,8", "19200,N,8,2,1", "0,N,8,2", "-9600,N,8,2",
                             "19k2,N,8,2", "19200,X,8,2", "19200,NN,8,2", "19200,N,4,2",
                             "19200,N,9,2", "19200,N,8,3", "19200,N,8,", "999999999,N,8,2"})
        EXPECT_FALSE(ConfiguracionPuerto::Interpretar(QString::fromLatin1(malo)).has_value())
            << malo;
}

} // namespace
} // namespace portiva
