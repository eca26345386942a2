#pragma once

#include <sndfile.h>

#include <cstddef>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using Opcodes = std::map<std::string, std::string>;

// What a sampler takes from an SFZ file: the group's opcodes and each region's, with the regions
// inheriting the group's. A `sample=` value runs to the end of its line, spaces included.
struct SfzFile {
    Opcodes group;
    std::vector<Opcodes> regions;

    static SfzFile read(const std::string& path) {
        SfzFile sfz;
        std::ifstream in(path);
        std::string line;
        Opcodes* current = nullptr;
        while (std::getline(in, line)) {
            if (line.rfind("//", 0) == 0) continue;
            std::istringstream words(line);
            std::string word;
            while (words >> word) {
                if (word == "<group>") {
                    current = &sfz.group;
                } else if (word == "<region>") {
                    sfz.regions.push_back(sfz.group);
                    current = &sfz.regions.back();
                } else if (current && word.find('=') != std::string::npos) {
                    const std::string name = word.substr(0, word.find('='));
                    std::string value = word.substr(word.find('=') + 1);
                    if (name == "sample") {
                        std::string rest;
                        std::getline(words, rest);
                        value += rest;
                    }
                    (*current)[name] = value;
                }
            }
        }
        return sfz;
    }
};

// A sound file's frames as libsndfile reads them, scaled to [-1, 1); empty when it cannot be read.
struct SoundFrames {
    SF_INFO info{};
    std::vector<float> values;

    static SoundFrames read(const std::string& path) {
        SoundFrames sound;
        SNDFILE* file = sf_open(path.c_str(), SFM_READ, &sound.info);
        if (!file) return sound;
        sound.values.resize(static_cast<std::size_t>(sound.info.frames * sound.info.channels));
        sf_readf_float(file, sound.values.data(), sound.info.frames);
        sf_close(file);
        return sound;
    }
};

// The simplest player an SFZ file allows: each note starts the region on its key from the first
// frame, at the level its velocity gives, played once to its end and mixed; no envelope, mono regions.
struct OneShotPlayer {
    struct Note {
        std::size_t frame;
        int key;
        int velocity = 127;
    };

    // A player's gain for `velocity`: straight lines between the `amp_velcurve_N` points a region
    // states, from 0 at velocity 0; without any, SFZ's default curve, the velocity's share squared.
    static float gainFor(const Opcodes& region, int velocity) {
        std::map<int, double> points;
        for (const auto& [name, value] : region) {
            if (name.rfind("amp_velcurve_", 0) == 0) points[std::stoi(name.substr(13))] = std::stod(value);
        }
        if (points.empty()) return static_cast<float>(velocity * velocity / (127.0 * 127.0));
        points.emplace(0, 0.0);
        auto above = points.lower_bound(velocity);
        if (above == points.end()) return static_cast<float>(points.rbegin()->second);
        if (above->first == velocity) return static_cast<float>(above->second);
        const auto below = std::prev(above);
        const double share = static_cast<double>(velocity - below->first) / (above->first - below->first);
        return static_cast<float>(below->second + share * (above->second - below->second));
    }

    static std::vector<float> play(const std::string& folder, const SfzFile& sfz, const std::vector<Note>& notes,
                                   std::size_t frames) {
        std::vector<float> mix(frames, 0.0f);
        for (const Note& note : notes) {
            for (const Opcodes& region : sfz.regions) {
                if (std::stoi(region.at("key")) != note.key) continue;
                const SoundFrames sound = SoundFrames::read(folder + "/" + region.at("sample"));
                const float gain = gainFor(region, note.velocity);
                for (std::size_t i = 0; i < sound.values.size() && note.frame + i < frames; ++i) {
                    mix[note.frame + i] += gain * sound.values[i];
                }
            }
        }
        return mix;
    }
};
