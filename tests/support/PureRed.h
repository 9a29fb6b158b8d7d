#pragma once
// Pure red as the window shows it: the value fields, and the report they make.
#include "frmMain/ReportText.h"

#include <QByteArray>

inline const ReportFields PureRedFields{.Dec = "255",
                                        .Hex = "#FF0000",
                                        .Red = "255",
                                        .Green = "0",
                                        .Blue = "0",
                                        .Hue = "0",
                                        .Sat = "240",
                                        .Lum = "120"};

inline const QByteArray PureRedReport("Color Properties:\r\n"
                                      "Dec: 255\r\n"
                                      "Hex: #FF0000\r\n"
                                      "Red: 255\r\n"
                                      "Green: 0\r\n"
                                      "Blue: 0\r\n"
                                      "Hue: 0\r\n"
                                      "Sat: 240\r\n"
                                      "Lum: 120\r\n");
