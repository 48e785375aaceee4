#include "OpcionesFpgen.h"
#include "EjecutarFpgen.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <sstream>

using namespace portiva::fpgen;
namespace fs = std::filesystem;

namespace {

bool leer(std::vector<std::string> args, OpcionesFpgen& o, std::string& error) {
    return leerOpciones(args, o, error);
}

// A folder under the system's temporary directory, removed at the end of the test.
class CarpetaPrueba {
public:
    CarpetaPrueba() {
        static std::atomic<int> n{0};
        ruta_ =
            fs::temp_directory_path() /
            ("fpgen_prueba_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + std::to_string(n++) + "_" +
             std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::remove_all(ruta_);
    }
    ~CarpetaPrueba() {
        std::error_code ec;
        fs::remove_all(ruta_, ec);
    }
    const fs::path& ruta() const { return ruta_; }

private:
    fs::path ruta_;
};

} // namespace

TEST(OpcionesFpgen, LeeTodasLasOpciones) {
    OpcionesFpgen o;
    std::string error;
    ASSERT_TRUE(leer({"--out", "d", "--fingers", "12", "--impressions", "3", "--seed",
                      "18446744073709551615", "--size", "320x480", "--dpi", "1000"},
                     o, error))
        << error;
    EXPECT_EQ(o.carpeta, fs::path("d"));
    EXPECT_EQ(o.dedos, 12);
    EXPECT_EQ(o.impresiones, 3);
    EXPECT_EQ(o.semilla, 18446744073709551615ULL);
    EXPECT_EQ(o.ancho, 320);
    EXPECT_EQ(o.alto, 480);
    EXPECT_EQ(o.dpi, 1000);

    OpcionesFpgen defecto;
    ASSERT_TRUE(leer({"--impressions", "1", "--fingers", "1", "--out", "x"}, defecto, error));
    EXPECT_EQ(defecto.semilla, 1u);
    EXPECT_EQ(defecto.ancho, 400);
    EXPECT_EQ(defecto.alto, 400);
    EXPECT_EQ(defecto.dpi, 500);

    ASSERT_TRUE(leer({"--help"}, o, error));
    EXPECT_TRUE(o.ayuda);
}

TEST(OpcionesFpgen, RechazaValoresMalosConUnMotivoClaro) {
    const std::vector<std::vector<std::string>> malos = {
        {},
        {"--out", "d", "--fingers", "2"},
        {"--out", "d", "--fingers", "0", "--impressions", "1"},
        {"--out", "d", "--fingers", "-3", "--impressions", "1"},
        {"--out", "d", "--fingers", "2x", "--impressions", "1"},
        {"--out", "d", "--fingers", "2", "--impressions", "1", "--seed", "-1"},
        {"--out", "d", "--fingers", "2", "--impressions", "1", "--seed", "99999999999999999999"},
        {"--out", "d", "--fingers", "2", "--impressions", "1", "--size", "400"},
        {"--out", "d", "--fingers", "2", "--impressions", "1", "--size", "400x"},
        {"--out", "d", "--fingers", "2", "--impressions", "1", "--size", "99999x400"},
        {"--out", "d", "--fingers", "2", "--impressions", "1", "--dpi", "72"},
        {"--out", "d", "--fingers", "2", "--impressions", "1", "--colour"},
        {"--out", "d", "--fingers", "2", "--impressions"},
        {"--out", "", "--fingers", "2", "--impressions", "1"},
    };
    for (const auto& args : malos) {
        OpcionesFpgen o;
        o.dedos = 77;
        std::string error;
        std::string linea;
        for (const auto& a : args)
            linea += a + " ";
        EXPECT_FALSE(leer(args, o, error)) << linea;
        EXPECT_FALSE(error.empty()) << linea;
        EXPECT_EQ(o.dedos, 77) << "options changed by a refused command line: " << linea;
    }
}

TEST(OpcionesFpgen, NombresDeArchivo) {
    EXPECT_EQ(nombreArchivo(7, 2, "bmp"), "f007_2.bmp");
    EXPECT_EQ(nombreArchivo(0, 0, "bmp"), "f000_0.bmp");
    EXPECT_EQ(nombreArchivo(1234, 11, "bmp"), "f1234_11.bmp");
}

TEST(EjecutarFpgen, EscribeCadaImpresionConSuNombre) {
    CarpetaPrueba carpeta;
    std::mutex mutex;
    std::set<std::string> escritos;
    FormatoSalida formato{"img", [&](const fs::path& archivo, const ImagenGris& img) {
                              std::lock_guard<std::mutex> cerrojo(mutex);
                              EXPECT_EQ(img.ancho, 64);
                              EXPECT_EQ(img.alto, 48);
                              escritos.insert(archivo.filename().string());
                              std::ofstream(archivo) << "x";
                              return true;
                          }};
    std::ostringstream salida, errores;
    const fs::path destino = carpeta.ruta() / "nueva" / "carpeta";
    const int codigo = ejecutarFpgen({"--out", destino.string(), "--fingers", "2", "--impressions",
                                      "3", "--size", "64x48", "--seed", "5"},
                                     formato, salida, errores);
    EXPECT_EQ(codigo, 0) << errores.str();
    EXPECT_EQ(escritos, (std::set<std::string>{"f000_0.img", "f000_1.img", "f000_2.img",
                                               "f001_0.img", "f001_1.img", "f001_2.img"}));
    EXPECT_TRUE(fs::exists(destino / "f001_2.img"));
    EXPECT_NE(salida.str().find("6 images written"), std::string::npos) << salida.str();
}

TEST(EjecutarFpgen, InformaDeLoQueNoPuedeEscribir) {
    CarpetaPrueba carpeta;
    fs::create_directories(carpeta.ruta());
    std::ostringstream salida, errores;

    // A file where the folder should be.
    const fs::path archivo = carpeta.ruta() / "ocupado";
    std::ofstream(archivo) << "x";
    FormatoSalida bien{"img", [](const fs::path&, const ImagenGris&) { return true; }};
    EXPECT_EQ(ejecutarFpgen({"--out", archivo.string(), "--fingers", "1", "--impressions", "1"},
                            bien, salida, errores),
              1);
    EXPECT_NE(errores.str().find("cannot create the folder"), std::string::npos) << errores.str();

    // The writer fails: the run stops and names the file.
    errores.str("");
    std::atomic<int> intentos{0};
    FormatoSalida mal{"img", [&](const fs::path&, const ImagenGris&) {
                          ++intentos;
                          return false;
                      }};
    EXPECT_EQ(ejecutarFpgen({"--out", carpeta.ruta().string(), "--fingers", "30", "--impressions",
                             "2", "--size", "32x32"},
                            mal, salida, errores),
              1);
    EXPECT_NE(errores.str().find("could not write"), std::string::npos) << errores.str();
    EXPECT_LT(intentos.load(), 30) << "kept generating after a failed write";

    // A mistake in the arguments.
    errores.str("");
    EXPECT_EQ(ejecutarFpgen({"--fingers", "1"}, bien, salida, errores), 2);
    EXPECT_NE(errores.str().find("Usage"), std::string::npos);
}
