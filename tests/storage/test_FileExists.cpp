#include "CarpetaTemporal.h"
#include "FileExists.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace portiva;
using namespace portiva::prueba;

namespace {

void crear(const QString& ruta) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}

TEST(FileExistsTest, NormalFilesOnly) {
    CarpetaTemporal c;
    crear(c.archivo("foto.bmp"));
    crear(c.archivo(".oculto"));
    ASSERT_TRUE(QDir(c.ruta()).mkdir("Fotos"));
    EXPECT_TRUE(FileExists(c.archivo("foto.bmp")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(c.archivo("nada.bmp")));
    EXPECT_FALSE(FileExists(c.archivo("Fotos"))); // a folder
    EXPECT_FALSE(FileExists(c.ruta()));
    EXPECT_FALSE(FileExists(c.archivo(".oculto")));
}

TEST(FileExistsTest, WildcardsMatchAnyNormalFile) {
    CarpetaTemporal c;
    crear(c.archivo("2009-03-01 (09-05-07).mdb"));
    EXPECT_TRUE(FileExists(c.archivo("*.mdb")));
    EXPECT_TRUE(FileExists(c.archivo("2009-03-01 (0?-0?-0?).mdb")));
    EXPECT_FALSE(FileExists(c.archivo("*.jpg")));
    EXPECT_FALSE(FileExists(c.archivo("no-existe/*.mdb")));
}

} // namespace
