#include "draw/numbers.h"

#include <cmath>
#include <limits>

#include "draw/messages.h"

namespace kav {

int Round(double x)
{
    if (std::isnan(x))
        return 0;
    const double r = std::nearbyint(x);  // the default rounding mode rounds halves to even
    // Far outside any screen: held at the ends of the range instead of wrapping round.
    if (r >= 2147483647.0)
        return std::numeric_limits<int>::max();
    if (r <= -2147483648.0)
        return std::numeric_limits<int>::min();
    return int(r);
}

int Triangular(int n)
{
    return n * (n + 1) / 2;
}

double Power(double exponent, double base)
{
    if (base == 0) {
        ShowMessage(QStringLiteral("Error: Macht van 0 bestaat niet!"), MessageKind::Error);
        return 0;
    }
    if (base > 0)
        return std::exp(exponent * std::log(base));
    const double whole = std::round(exponent);
    if (whole != exponent)
        return std::nan("");  // a negative base has no real power with a broken exponent
    const double r = std::exp(exponent * std::log(-base));
    return std::fmod(std::fabs(whole), 2.0) == 1.0 ? -r : r;
}

double MaxReal(double a, double b) { return a > b ? a : b; }
double MinReal(double a, double b) { return a < b ? a : b; }
int Max(int a, int b) { return a > b ? a : b; }
int Min(int a, int b) { return a < b ? a : b; }

QString Trim(const QString& s)
{
    int b = 0, e = int(s.size());
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

}  // namespace kav
