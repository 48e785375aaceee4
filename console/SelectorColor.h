#pragma once

#include <QColor>

#include <optional>

class QWidget;

namespace portiva {

// The system colour picker, opened modal with an initial colour: the chosen colour, or nothing
// when the operator cancels. Tests answer from a script.
class SelectorColor {
public:
    virtual ~SelectorColor() = default;
    virtual std::optional<QColor> elegir(const QColor& inicial, QWidget* padre) = 0;
};

// QColorDialog.
class SelectorColorQt final : public SelectorColor {
public:
    std::optional<QColor> elegir(const QColor& inicial, QWidget* padre) override;
};

} // namespace portiva
