// Pictures made and decoded by ImageMagick's convert, an encoder independent of the readers
// under test, for comparing what they read with what convert itself decodes.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Runs convert with args; false when it fails or is missing.
inline bool Convert(const std::string& args)
{
    return std::system(("convert " + args + " 2>/dev/null").c_str()) == 0;
}

inline std::vector<uint8_t> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// convert's own decoding of path: 8-bit red, green, blue, top row first, after options
// (such as "-background white -flatten").
inline std::vector<uint8_t> DecodedByConvert(const std::string& path, const std::string& options = "")
{
    const std::string raw = path + ".rgb";
    if (!Convert("'" + path + "' " + options + " -depth 8 'rgb:" + raw + "'"))
        return {};
    std::vector<uint8_t> bytes = FileBytes(raw);
    std::remove(raw.c_str());
    return bytes;
}

// A colourful test picture of w x h written by convert as path (its kind from the name), 8 bits
// a channel unless options (quality, alpha, depth) say otherwise.
inline bool MakePicture(const std::string& path, int w, int h, const std::string& options = "")
{
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    const std::string corners = "'0,0 red " + std::to_string(w - 1) + ",0 blue 0," + std::to_string(h - 1) +
                                " yellow " + std::to_string(w - 1) + "," + std::to_string(h - 1) + " green'";
    return Convert("-size " + size + " xc: -sparse-color bilinear " + corners + " -depth 8 " + options + " '" + path + "'");
}
