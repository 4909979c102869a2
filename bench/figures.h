#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

// One measured figure: Beatwise's median, the bare baseline's where there is
// one, and the goal it is held to.
struct Figure {
    QString name;
    QString unit;
    double beatwise = 0;
    std::optional<double> baseline;
    std::optional<double> maxRatio; // goal: beatwise / baseline at most this
    std::optional<double> maxValue; // goal: beatwise below this
    std::optional<double> minValue; // goal: beatwise at least this
};

class Figures {
public:
    void Add(const Figure& figure);
    // Prints the table; true when every goal holds.
    bool Print() const;
    bool WriteJson(const QString& path, const QString& machine) const;

private:
    std::vector<Figure> m_figures;
};

double Median(std::vector<double> values);

// Runs work on a thread for each core, and waits for them all.
void OnEveryCore(const std::function<void()>& work);

// The machine the figures were measured on, for the record.
QString DescribeMachine();
