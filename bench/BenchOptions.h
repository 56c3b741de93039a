// The benchmarks' command lines: each benchmark names its options and where their values
// go, then reads argv once; an unknown option or a missing or bad value prints the usage.
//
//   std::vector<int> sizes = {1000, 3000};
//   int nRuns = 5;
//   CBenchOptions options("bench_x [--runs R] [--sizes N,N,...]");
//   options.Count("--runs", &nRuns).Sizes("--sizes", &sizes);
//   if (!options.Parse(argc, argv)) return 2;
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

class CBenchOptions {
public:
    explicit CBenchOptions(const char* pszUsage) : m_pszUsage(pszUsage) {}

    // An option without a value: present or not.
    CBenchOptions& Flag(const char* pszName, bool* pValue) { return Add(pszName, Kind::Flag, pValue); }
    // A whole number of at least nMin.
    CBenchOptions& Count(const char* pszName, int* pValue, int nMin = 1)
    {
        Add(pszName, Kind::Count, pValue);
        m_options.back().nMin = nMin;
        return *this;
    }
    // A list of positive numbers separated by commas, which replaces the default list.
    CBenchOptions& Sizes(const char* pszName, std::vector<int>* pValue) { return Add(pszName, Kind::Sizes, pValue); }
    // Any text.
    CBenchOptions& Text(const char* pszName, std::string* pValue) { return Add(pszName, Kind::Text, pValue); }

    // Reads every argument; false, with the usage on stderr, when one is not understood.
    bool Parse(int argc, char** argv) const
    {
        for (int i = 1; i < argc; ++i) {
            const Option* pOption = Find(argv[i]);
            if (!pOption || (pOption->kind != Kind::Flag && i + 1 >= argc) ||
                !Read(*pOption, pOption->kind == Kind::Flag ? nullptr : argv[++i]))
                return Usage();
        }
        return true;
    }

private:
    enum class Kind { Flag, Count, Sizes, Text };
    struct Option {
        const char* pszName;
        Kind kind;
        void* pValue;
        int nMin;
    };

    CBenchOptions& Add(const char* pszName, Kind kind, void* pValue)
    {
        m_options.push_back({pszName, kind, pValue, 0});
        return *this;
    }

    const Option* Find(const char* pszArg) const
    {
        for (const Option& option : m_options)
            if (!std::strcmp(option.pszName, pszArg)) return &option;
        return nullptr;
    }

    // A whole number and nothing else.
    static bool Number(const char* psz, const char* pszEnd, int* pn)
    {
        char* pszStop = nullptr;
        const long n = std::strtol(psz, &pszStop, 10);
        if (pszStop == psz || pszStop != pszEnd || n > 0x7FFFFFFFL || n < -0x7FFFFFFFL) return false;
        *pn = static_cast<int>(n);
        return true;
    }

    static bool Read(const Option& option, const char* pszValue)
    {
        switch (option.kind) {
        case Kind::Flag:
            *static_cast<bool*>(option.pValue) = true;
            return true;
        case Kind::Count: {
            int n = 0;
            if (!Number(pszValue, pszValue + std::strlen(pszValue), &n) || n < option.nMin) return false;
            *static_cast<int*>(option.pValue) = n;
            return true;
        }
        case Kind::Sizes: {
            std::vector<int> sizes;
            for (const char* p = pszValue;;) {
                const char* pszComma = std::strchr(p, ',');
                const char* pszEnd = pszComma ? pszComma : p + std::strlen(p);
                int n = 0;
                if (!Number(p, pszEnd, &n) || n <= 0) return false;
                sizes.push_back(n);
                if (!pszComma) break;
                p = pszComma + 1;
            }
            *static_cast<std::vector<int>*>(option.pValue) = sizes;
            return true;
        }
        case Kind::Text:
            *static_cast<std::string*>(option.pValue) = pszValue;
            return true;
        }
        return false;
    }

    bool Usage() const
    {
        std::fprintf(stderr, "usage: %s\n", m_pszUsage);
        return false;
    }

    const char* m_pszUsage;
    std::vector<Option> m_options;
};
