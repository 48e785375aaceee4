// The profile-file layer under the settings file.
#include "ArchivoPerfil.h"
#include "CarpetaTemporal.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace portiva;
using namespace portiva::prueba;

namespace {

class ArchivoPerfilTest : public ::testing::Test {
protected:
    void poner(const QByteArray& contenido) {
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
    QByteArray contenido() {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    CarpetaTemporal carpeta;
    QString ruta = carpeta.archivo("Accesos.ini");
};

TEST_F(ArchivoPerfilTest, MissingFileSectionOrKeyReadsEmpty) {
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "A", "b"), "");
    EXPECT_EQ(ArchivoPerfil::leerSeccion(ruta, "A"), "");
    poner("[A]\nb=1\n");
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "B", "b"), "");
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "A", "c"), "");
    EXPECT_FALSE(QFile::exists(carpeta.archivo("otro.ini")));
}

TEST_F(ArchivoPerfilTest, NamesCompareInAnyCaseAndValuesAreTrimmedAndUnquoted) {
    poner("; comentario\n[Copias Seguridad]\n  CopiaSeg AlSalir =  1  \nNombre=\"C:\\a b.mdb\"\n"
          "q=' x '\n\tt =\tuno dos\t\n");
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "copias seguridad", "copiaseg alsalir"), "1");
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "COPIAS SEGURIDAD", "nombre"), "C:\\a b.mdb");
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "Copias Seguridad", "q"), " x ");
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "Copias Seguridad", "t"), "uno dos");
}

TEST_F(ArchivoPerfilTest, ValuesAreReadCutTo254Characters) {
    poner("[A]\nlargo=" + QByteArray(300, 'x') + "\n");
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "A", "largo").size(), 254);
}

TEST_F(ArchivoPerfilTest, SectionWithoutKeysReadsEmpty) {
    poner("[Vacia]\n; solo un comentario\n\n[Llena]\na=1\nb=2\n");
    EXPECT_EQ(ArchivoPerfil::leerSeccion(ruta, "Vacia"), "");
    EXPECT_EQ(ArchivoPerfil::leerSeccion(ruta, "llena"), QString("a=1") + QChar(0) + "b=2");
}

TEST_F(ArchivoPerfilTest, FirstSectionAndKeyOfANameCount) {
    poner("[A]\nk=1\nk=2\n[a]\nk=3\n");
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "A", "k"), "1");
    ASSERT_TRUE(ArchivoPerfil::escribir(ruta, "A", "K", "9"));
    EXPECT_EQ(contenido(), "[A]\nK=9\nk=2\n[a]\nk=3\n");
}

TEST_F(ArchivoPerfilTest, WritingCreatesFileSectionAndKey) {
    ASSERT_TRUE(ArchivoPerfil::escribir(ruta, "Appearance", "skin", "Azul.jpg"));
    EXPECT_EQ(contenido(), "[Appearance]\nskin=Azul.jpg\n");
    ASSERT_TRUE(ArchivoPerfil::escribir(ruta, "Colores huella", "a", "1"));
    EXPECT_EQ(contenido(), "[Appearance]\nskin=Azul.jpg\n\n[Colores huella]\na=1\n");
    ASSERT_TRUE(ArchivoPerfil::escribir(ruta, "Appearance", "otra", "2"));
    EXPECT_EQ(contenido(), "[Appearance]\nskin=Azul.jpg\notra=2\n\n[Colores huella]\na=1\n");
}

TEST_F(ArchivoPerfilTest, WritingKeepsEveryOtherLineByteForByte) {
    const QByteArray original =
        "; Estacion de la puerta norte\r\n[Appearance]\r\nskin=Viejo.jpg\r\n"
        "; no tocar\r\nraro \xff\xfe=\xe9\r\n\r\n[Extra]\r\nx = y\r\n";
    poner(original);
    ASSERT_TRUE(ArchivoPerfil::escribir(ruta, "appearance", "SKIN", "Nuevo.jpg"));
    QByteArray esperado = original;
    esperado.replace("skin=Viejo.jpg", "SKIN=Nuevo.jpg");
    EXPECT_EQ(contenido(), esperado);
    // A key added to a section goes after its last key, before what follows it.
    ASSERT_TRUE(ArchivoPerfil::escribir(ruta, "Appearance", "mas", "1"));
    esperado.replace("\xe9\r\n", "\xe9\r\nmas=1\r\n");
    EXPECT_EQ(contenido(), esperado);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(carpeta.ruta()).entryList(QDir::Files | QDir::Hidden),
              QStringList("Accesos.ini"));
}

TEST_F(ArchivoPerfilTest, LineBreaksInAValueCannotAddLines) {
    ASSERT_TRUE(ArchivoPerfil::escribir(ruta, "A", "k", "uno\r\notro=2\nfin"));
    EXPECT_EQ(contenido(), "[A]\nk=uno otro=2 fin\n");
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "A", "otro"), "");
}

TEST_F(ArchivoPerfilTest, UnwritableFileKeepsItsContentAndSaysSo) {
    const QString dentro = carpeta.archivo("no-existe/Accesos.ini");
    EXPECT_FALSE(ArchivoPerfil::escribir(dentro, "A", "k", "1"));
    poner("[A]\nk=1\n");
    ASSERT_TRUE(QDir(carpeta.ruta()).mkdir("carpeta.ini"));
    EXPECT_FALSE(ArchivoPerfil::escribir(carpeta.archivo("carpeta.ini"), "A", "k", "2"));
    EXPECT_EQ(contenido(), "[A]\nk=1\n");
}

} // namespace

namespace {

TEST_F(ArchivoPerfilTest, AFifoUnderTheNameReadsEmptyAtOnceAndIsNeverWritten) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(ruta).constData(), 0600), 0);
    EXPECT_EQ(ArchivoPerfil::estado(ruta), ArchivoPerfil::Estado::NoNormal);
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "Appearance", "skin"), "");
    EXPECT_EQ(ArchivoPerfil::leerSeccion(ruta, "Appearance"), "");
    EXPECT_FALSE(ArchivoPerfil::escribir(ruta, "Appearance", "skin", "Azul.JPG"));
    EXPECT_EQ(ArchivoPerfil::estado(ruta), ArchivoPerfil::Estado::NoNormal); // still the FIFO
}

TEST_F(ArchivoPerfilTest, ALinkIsReadButNeverWrittenThrough) {
    const QString destino = carpeta.archivo("otro.txt");
    {
        QFile f(destino);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Appearance]\nskin=Rojo.JPG\n");
    }
    ASSERT_TRUE(QFile::link(destino, ruta));
    EXPECT_EQ(ArchivoPerfil::estado(ruta), ArchivoPerfil::Estado::Enlace);
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "Appearance", "skin"), "Rojo.JPG");
    EXPECT_FALSE(ArchivoPerfil::escribir(ruta, "Appearance", "skin", "Azul.JPG"));
    EXPECT_FALSE(ArchivoPerfil::escribir(ruta, "Nueva", "k", "v"));
    QFile f(destino);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "[Appearance]\nskin=Rojo.JPG\n");
    EXPECT_EQ(ArchivoPerfil::estado(ruta), ArchivoPerfil::Estado::Enlace);
}

TEST_F(ArchivoPerfilTest, AFileOfTheOldStationIsReadAsWindows1252AndKeptByteForByte) {
    // "Fondo_Ñ.JPG" and "Álvaro €" as the Windows station wrote them.
    const QByteArray viejo =
        "[Appearance]\r\nskin=Fondo_\xD1.JPG\r\n[Otra]\r\nquien=\xC1lvaro \x80\r\n";
    poner(viejo);
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "Appearance", "skin"), QString::fromUtf8("Fondo_Ñ.JPG"));
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "otra", "quien"), QString::fromUtf8("Álvaro €"));
    // The same value written back leaves the file as it was.
    ASSERT_TRUE(
        ArchivoPerfil::escribir(ruta, "Appearance", "skin", QString::fromUtf8("Fondo_Ñ.JPG")));
    EXPECT_EQ(contenido(), viejo);
    // A changed value is written in the file's own encoding; the other lines stay.
    ASSERT_TRUE(ArchivoPerfil::escribir(ruta, "Appearance", "skin", QString::fromUtf8("Año.JPG")));
    EXPECT_EQ(contenido(), "[Appearance]\r\nskin=A\xF1o.JPG\r\n[Otra]\r\nquien=\xC1lvaro \x80\r\n");
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "Appearance", "skin"), QString::fromUtf8("Año.JPG"));
}

TEST_F(ArchivoPerfilTest, AUtf8FileStaysUtf8) {
    poner("[Appearance]\nskin=Fondo_\xC3\x91.JPG\n");
    EXPECT_EQ(ArchivoPerfil::leer(ruta, "Appearance", "skin"), QString::fromUtf8("Fondo_Ñ.JPG"));
    ASSERT_TRUE(ArchivoPerfil::escribir(ruta, "Appearance", "otra", QString::fromUtf8("Ñu")));
    EXPECT_EQ(contenido(), "[Appearance]\nskin=Fondo_\xC3\x91.JPG\notra=\xC3\x91u\n");
}

} // namespace
