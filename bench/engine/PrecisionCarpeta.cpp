// Accuracy of the engine on folders of real prints named FFF_I.bmp (finger, impression): every
// pair of impressions of one finger is genuine, every pair of images of two fingers is an
// impostor. Prints per folder and the mean: failures to extract, EER, FNMR at FMR 1% and 0.1%,
// FMR/FNMR at both default thresholds, the genuine median and the impostor maximum.
//   portiva-precision-carpeta [--id N] [--vr N] [--recorte N] [--rechazos 1] <folder>...
// (--id / --vr: judge other thresholds than the engine's defaults; --recorte N: drop the first N
// rows and columns of every image, which moves the print against the 8-pixel block grid of the
// extraction: the spread of the figures over N = 0..7 is the noise a change has to beat;
// --rechazos 1: list every genuine pair refused at the identification default, with its score,
// the pairs found and both prints' minutiae and quality, to draw with portiva-par-motor)
#include "ConsultaPreparada.h"
#include "MotorHuella.h"
#include "MuestrasCarpeta.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace portiva;

namespace {

using bench::Muestra;

struct Cifras {
    int imagenes = 0, fallos = 0;
    double eer = 0, fnmr1 = 0, fnmr01 = 0, fmrId = 0, fnmrId = 0, fmrVr = 0, fnmrVr = 0;
    int medianaGenuina = 0, maximoImpostor = 0;
    int porClase[3] = {0, 0, 0};
    // Genuine pairs below the identification default, by the lower class of the two prints.
    int genuinosPorClase[3] = {0, 0, 0}, rechazosPorClase[3] = {0, 0, 0};
};

using bench::tasaDesde;

void listarRechazo(const std::string& carpeta, const Muestra& a, const Muestra& b, int s,
                   const motor::DetalleComparacion& det) {
    motor::VistaPlantilla va, vb;
    motor::CodecPlantilla::examinar(a.bytes.data(), a.bytes.size(), va);
    motor::CodecPlantilla::examinar(b.bytes.data(), b.bytes.size(), vb);
    std::printf("refused %s %s %s score %d pairs %zu minutiae %d %d class %d %d rot %.0f "
                "shift %.0f %.0f\n",
                carpeta.c_str(), a.nombre.c_str(), b.nombre.c_str(), s, det.pares.size(), va.n,
                vb.n, a.clase, b.clase, det.rotacion * 57.2958f, det.dx, det.dy);
}

Cifras medir(const std::vector<Muestra>& m, int umbralId, int umbralVr, int rotacion,
             const std::string& carpeta, bool listar) {
    Cifras c;
    c.imagenes = static_cast<int>(m.size());
    for (const auto& x : m) {
        c.fallos += x.bytes.empty() ? 1 : 0;
        if (x.clase >= 0 && x.clase < 3)
            ++c.porClase[x.clase];
    }
    std::vector<int> g, im;
    const motor::ParametrosComparacion p{umbralId, rotacion};
    for (std::size_t a = 0; a < m.size(); ++a) {
        int r = 0;
        std::shared_ptr<const motor::ConsultaPreparada> q;
        if (!m[a].bytes.empty())
            q = motor::ConsultaPreparada::crear(m[a].bytes.data(), m[a].bytes.size(), p, r);
        for (std::size_t b = a + 1; b < m.size(); ++b) {
            int s = 0;
            motor::DetalleComparacion det;
            if (q && !m[b].bytes.empty())
                q->comparar(m[b].bytes.data(), m[b].bytes.size(), s, &det);
            if (listar && m[a].dedo == m[b].dedo && s < umbralId)
                listarRechazo(carpeta, m[a], m[b], s, det);
            (m[a].dedo == m[b].dedo ? g : im).push_back(s);
            const int clase = std::min(m[a].clase, m[b].clase);
            if (m[a].dedo == m[b].dedo && clase >= 0) {
                ++c.genuinosPorClase[clase];
                c.rechazosPorClase[clase] += s < umbralId ? 1 : 0;
            }
        }
    }
    double mejor = 2;
    bool hay1 = false, hay01 = false;
    for (int u = 0; u <= motor::ConsultaPreparada::PuntuacionMaxima + 1; ++u) {
        const double fmr = tasaDesde(im, u), fnmr = 1 - tasaDesde(g, u);
        if (std::abs(fmr - fnmr) < mejor) {
            mejor = std::abs(fmr - fnmr);
            c.eer = (fmr + fnmr) / 2;
        }
        if (!hay1 && fmr <= 0.01) {
            hay1 = true;
            c.fnmr1 = fnmr;
        }
        if (!hay01 && fmr <= 0.001) {
            hay01 = true;
            c.fnmr01 = fnmr;
        }
    }
    c.fmrId = tasaDesde(im, umbralId);
    c.fnmrId = 1 - tasaDesde(g, umbralId);
    c.fmrVr = tasaDesde(im, umbralVr);
    c.fnmrVr = 1 - tasaDesde(g, umbralVr);
    std::sort(g.begin(), g.end());
    c.medianaGenuina = g.empty() ? 0 : g[g.size() / 2];
    c.maximoImpostor = im.empty() ? 0 : *std::max_element(im.begin(), im.end());
    return c;
}

void fila(const std::string& nombre, const Cifras& c) {
    std::printf("%-16s %4d %5.2f %6.2f %6.2f   %6.3f %6.2f   %6.3f %6.2f   %4d %4d   %d/%d/%d",
                nombre.c_str(), c.fallos, 100 * c.eer, 100 * c.fnmr1, 100 * c.fnmr01, 100 * c.fmrId,
                100 * c.fnmrId, 100 * c.fmrVr, 100 * c.fnmrVr, c.medianaGenuina, c.maximoImpostor,
                c.porClase[0], c.porClase[1], c.porClase[2]);
    for (int k = 0; k < 3; ++k) {
        if (c.genuinosPorClase[k] > 0)
            std::printf(" %5.1f", 100.0 * c.rechazosPorClase[k] / c.genuinosPorClase[k]);
        else
            std::printf("     -");
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(
            stderr, "uso: %s [--id N] [--vr N] [--recorte N] [--rechazos 1] carpeta [carpeta...]\n",
            argv[0]);
        return 2;
    }
    motor::MotorHuella motor;
    motor.Inicializar();
    int umbralId = 0, rotId = 0, umbralVr = 0, rotVr = 0, recorte = 0, listar = 0;
    motor.LeerParametrosIdentificacion(umbralId, rotId);
    motor.LeerParametrosVerificacion(umbralVr, rotVr);
    int primera = 1;
    for (; primera + 1 < argc; primera += 2) {
        const std::string o = argv[primera];
        if (o != "--id" && o != "--vr" && o != "--recorte" && o != "--rechazos")
            break;
        (o == "--id"         ? umbralId
         : o == "--vr"       ? umbralVr
         : o == "--rechazos" ? listar
                             : recorte) = std::atoi(argv[primera + 1]);
    }
    std::printf("thresholds: identification %d, verification %d (rotation %d)\n", umbralId,
                umbralVr, rotId);
    std::printf("%-16s %4s %5s %6s %6s   %6s %6s   %6s %6s   %4s %4s\n", "folder", "fail", "EER",
                "FNMR1", "FNMR.1", "FMRid", "FNMRid", "FMRvr", "FNMRvr", "gMed", "iMax");
    std::printf("(then quality low/medium/high, and FNMR at the identification default by the\n"
                " lower quality class of the pair)\n");
    Cifras suma;
    int n = 0;
    for (int k = primera; k < argc; ++k) {
        const std::filesystem::path carpeta = argv[k];
        std::error_code ec;
        if (!std::filesystem::is_directory(carpeta, ec)) {
            std::fprintf(stderr, "no es una carpeta: %s\n", argv[k]);
            return 1;
        }
        const std::string nombre = carpeta.filename().empty()
                                       ? carpeta.parent_path().filename().string()
                                       : carpeta.filename().string();
        const Cifras c = medir(bench::extraerCarpeta(carpeta, recorte, 4), umbralId, umbralVr,
                               rotId, nombre, listar != 0);
        fila(nombre, c);
        suma.fallos += c.fallos;
        suma.eer += c.eer;
        suma.fnmr1 += c.fnmr1;
        suma.fnmr01 += c.fnmr01;
        suma.fmrId += c.fmrId;
        suma.fnmrId += c.fnmrId;
        suma.fmrVr += c.fmrVr;
        suma.fnmrVr += c.fnmrVr;
        suma.medianaGenuina += c.medianaGenuina;
        suma.maximoImpostor = std::max(suma.maximoImpostor, c.maximoImpostor);
        for (int q = 0; q < 3; ++q) {
            suma.porClase[q] += c.porClase[q];
            suma.genuinosPorClase[q] += c.genuinosPorClase[q];
            suma.rechazosPorClase[q] += c.rechazosPorClase[q];
        }
        ++n;
    }
    if (n > 1) {
        const double d = n;
        suma.eer /= d;
        suma.fnmr1 /= d;
        suma.fnmr01 /= d;
        suma.fmrId /= d;
        suma.fnmrId /= d;
        suma.fmrVr /= d;
        suma.fnmrVr /= d;
        suma.medianaGenuina /= n;
        fila("mean", suma); // impostor maximum: the highest of all folders
    }
    return 0;
}
