// The simulated reader's folder: what it takes, what it sets aside and what it never repeats.
#include "LectorSimulado.h"
#include "ArchivoBmp.h"
#include "CodigosMotor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace portiva::motor;
namespace fs = std::filesystem;

namespace {

class LectorSimuladoTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("portiva_lector_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(carpeta());
        lector_.emplace(carpeta(), [this](const std::string& t) { avisos.push_back(t); });
        lector_->iniciarCaptura();
    }
    void TearDown() override {
        soltar();
        fs::remove_all(dir_);
    }

    fs::path carpeta() const { return dir_ / "LectorSimulado"; }
    void dejar(const std::string& nombre, std::uint8_t tono) {
        ImagenGris img{64, 64, 500, std::vector<std::uint8_t>(64 * 64, tono)};
        const auto temporal = dir_ / nombre;
        ASSERT_EQ(ArchivoBmp::escribir(temporal, img), codigo::Ok);
        fs::rename(temporal, carpeta() / nombre);
    }
    // Imagenes entregadas en un sondeo.
    int imagenes() {
        std::deque<EventoLector> cola;
        lector().sondear(cola);
        int n = 0;
        for (const auto& e : cola)
            n += e.tipo == EventoLector::Tipo::Imagen;
        return n;
    }
    // Makes the folder unchangeable: without write permission, or immutable for root.
    bool bloquear() {
        if (::geteuid() != 0) {
            fs::permissions(carpeta(), fs::perms::owner_read | fs::perms::owner_exec);
            return true;
        }
        inmutable_ =
            std::system(("chattr +i '" + carpeta().string() + "' 2>/dev/null").c_str()) == 0;
        return inmutable_;
    }
    void soltar() {
        if (inmutable_)
            (void)std::system(("chattr -i '" + carpeta().string() + "' 2>/dev/null").c_str());
        inmutable_ = false;
        std::error_code ec;
        fs::permissions(carpeta(), fs::perms::owner_all, ec);
    }

    fs::path dir_;
    std::vector<std::string> avisos;
    std::optional<LectorSimulado> lector_;
    LectorSimulado& lector() { return *lector_; }
    bool inmutable_ = false;
};

TEST_F(LectorSimuladoTest, APrintIsTakenOnceAndRemoved) {
    dejar("a.bmp", 10);
    EXPECT_EQ(imagenes(), 1);
    EXPECT_FALSE(fs::exists(carpeta() / "a.bmp"));
    EXPECT_EQ(imagenes(), 0);
    EXPECT_TRUE(avisos.empty());
}

TEST_F(LectorSimuladoTest, AnUnusableBitmapIsSetAsideWithItsCause) {
    std::ofstream(carpeta() / "c.bmp") << "basura";
    EXPECT_EQ(imagenes(), 0);
    EXPECT_TRUE(fs::exists(carpeta() / "c.bmp.invalido"));
    ASSERT_EQ(avisos.size(), 1u);
    EXPECT_EQ(avisos[0], "c.bmp: no es un mapa de bits utilizable (vacio, cortado, comprimido o de "
                         "un formato no admitido); se aparta como c.bmp.invalido.");
}

TEST_F(LectorSimuladoTest, AFolderThatCannotBeChangedNeverGivesTheSamePrintTwice) {
    dejar("a.bmp", 10);
    dejar("b.bmp", 20);
    if (!bloquear())
        GTEST_SKIP() << "the folder cannot be made unchangeable here";
    int entregadas = 0;
    for (int i = 0; i < 20; ++i)
        entregadas += imagenes();
    EXPECT_EQ(entregadas, 0);
    EXPECT_TRUE(lector().detenido());
    ASSERT_EQ(avisos.size(), 1u) << "reported once";
    EXPECT_NE(avisos[0].find("No se puede quitar a.bmp"), std::string::npos) << avisos[0];

    // Once the folder can be changed again, each print comes once.
    soltar();
    EXPECT_EQ(imagenes(), 1);
    EXPECT_FALSE(lector().detenido());
    EXPECT_EQ(imagenes(), 1);
    EXPECT_EQ(imagenes(), 0);
    EXPECT_TRUE(fs::is_empty(carpeta()));
    ASSERT_EQ(avisos.size(), 2u);
    EXPECT_NE(avisos[1].find("vuelve a admitir cambios"), std::string::npos);
}

TEST_F(LectorSimuladoTest, AnUnusableBitmapInAFolderThatCannotBeChangedStopsTheReaderToo) {
    std::ofstream(carpeta() / "c.bmp") << "basura";
    if (!bloquear())
        GTEST_SKIP() << "the folder cannot be made unchangeable here";
    EXPECT_EQ(imagenes(), 0);
    EXPECT_EQ(imagenes(), 0);
    EXPECT_TRUE(lector().detenido());
    EXPECT_EQ(avisos.size(), 1u);
    EXPECT_TRUE(fs::exists(carpeta() / "c.bmp"));
}

} // namespace
