// Small number helpers shared by every exercise.
#pragma once
#include <QString>

namespace kav {

// Rounds to the nearest integer, halves to the even neighbour.
int Round(double x);
int Triangular(int n);
// Base raised to Exponent. Base 0 has no power: a message is shown and 0 returned.
double Power(double exponent, double base);
double MaxReal(double a, double b);
double MinReal(double a, double b);
int Max(int a, int b);
int Min(int a, int b);
QString Trim(const QString& s);

}  // namespace kav
