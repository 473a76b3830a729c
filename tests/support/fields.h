#pragma once
// The texts of a row of fields, for comparing a whole row in one assertion.
#include <QString>

#include <vector>

template <class Boxes>
std::vector<QString> texts(const Boxes& boxes)
{
    std::vector<QString> out;
    for (const auto* b : boxes)
        out.push_back(b->text());
    return out;
}
