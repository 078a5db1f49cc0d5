#pragma once

#include <QByteArray>

#include <cmath>
#include <cstdint>

// A seeded stream of random numbers that yields the same sequence on every platform and
// standard library (xoshiro256** seeded through splitmix64; normals by Marsaglia's polar method).
class RandomStream
{
public:
    // One stream per seed and name: the same pair always gives the same sequence.
    RandomStream(std::uint64_t seed, const QByteArray &name)
    {
        std::uint64_t mix = seed ^ fnv1a(name);
        for (std::uint64_t &word : m_state)
            word = splitMix(mix);
    }

    std::uint64_t next()
    {
        const std::uint64_t result = rotl(m_state[1] * 5, 7) * 9;
        const std::uint64_t t = m_state[1] << 17;
        m_state[2] ^= m_state[0];
        m_state[3] ^= m_state[1];
        m_state[1] ^= m_state[2];
        m_state[0] ^= m_state[3];
        m_state[2] ^= t;
        m_state[3] = rotl(m_state[3], 45);
        return result;
    }

    // Uniform in [0, 1).
    double uniform() { return double(next() >> 11) * 0x1.0p-53; }

    // Standard normal.
    double normal()
    {
        if (m_hasSpare) {
            m_hasSpare = false;
            return m_spare;
        }
        double u = 0;
        double v = 0;
        double s = 0;
        do {
            u = 2 * uniform() - 1;
            v = 2 * uniform() - 1;
            s = u * u + v * v;
        } while (s >= 1 || s == 0);
        const double factor = std::sqrt(-2 * std::log(s) / s);
        m_spare = v * factor;
        m_hasSpare = true;
        return u * factor;
    }

    // Exponentially distributed with the given mean.
    double exponential(double mean) { return -mean * std::log(1 - uniform()); }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    static std::uint64_t splitMix(std::uint64_t &x)
    {
        std::uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    static std::uint64_t fnv1a(const QByteArray &bytes)
    {
        std::uint64_t hash = 0xcbf29ce484222325ULL;
        for (char c : bytes) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 0x100000001b3ULL;
        }
        return hash;
    }

    std::uint64_t m_state[4];
    double m_spare = 0;
    bool m_hasSpare = false;
};
