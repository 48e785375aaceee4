#pragma once

#include "ErrorDB.h"

#include <cassert>
#include <optional>
#include <utility>
#include <variant>

namespace portiva {

// The outcome of a database call that does not trap its own errors: success, or the error for
// the caller to report. Nothing throws across the layer; this result carries the error instead.
class [[nodiscard]] Resultado {
public:
    Resultado() = default;
    Resultado(ErrorDB error) : error_(std::move(error)) {}

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    // Only meaningful when !ok().
    const ErrorDB& error() const {
        assert(!ok() && "error() de un resultado correcto");
        return *error_;
    }

private:
    std::optional<ErrorDB> error_;
};

// A value, or the error that kept the call from producing it.
template <class T> class [[nodiscard]] ResultadoDe {
public:
    ResultadoDe(T valor) : datos_(std::move(valor)) {}
    ResultadoDe(ErrorDB error) : datos_(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(datos_); }
    explicit operator bool() const { return ok(); }
    // Only meaningful when ok(): asking an error for its value is a programming fault, caught
    // here in debug builds rather than deep inside std::get.
    const T& valor() const {
        assert(ok() && "valor() de un resultado con error");
        return std::get<T>(datos_);
    }
    const T& operator*() const { return valor(); }
    T valor_o(T otro) const { return ok() ? valor() : std::move(otro); }
    // Only meaningful when !ok().
    const ErrorDB& error() const {
        assert(!ok() && "error() de un resultado correcto");
        return std::get<ErrorDB>(datos_);
    }
    // The error alone, to hand on as a Resultado.
    Resultado resultado() const { return ok() ? Resultado() : Resultado(error()); }

private:
    std::variant<T, ErrorDB> datos_;
};

} // namespace portiva
