#pragma once

#include <QIcon>
#include <QString>
#include <vector>

// The program's icon: a Tengwar letter on a round seal, drawn by
// tools/makeicon.cpp into resources/icons/ at every size listed here.
QIcon programIcon();
const std::vector<int>& programIconSizes();
// The resource path of one size's picture.
QString programIconResource(int size);
