// Where the home directory and the main settings file are: the searches of
// start-up, which qimtool makes too. The environment comes through
// SStartEnvironment, so every rule can be tried with a made-up one.
#pragma once

#include <optional>
#include <string>

// Environment variables and the working directory, in Shift_JIS.
class SStartEnvironment {
public:
    virtual ~SStartEnvironment() = default;
    // nullopt when unset or empty.
    virtual std::optional<std::string> Variable(const char* name) const = 0;
    // nullopt when it cannot be read.
    virtual std::optional<std::string> WorkingDirectory() const = 0;
};

// The process's own environment. A value without a Shift_JIS form cannot name
// a folder of Qim: it counts as unset, with a warning on standard error.
class SProcessEnvironment : public SStartEnvironment {
public:
    std::optional<std::string> Variable(const char* name) const override;
    std::optional<std::string> WorkingDirectory() const override;
};

// A non-empty `argument` is the home directory; else QIMHOME; else HOME joined
// with "QimHome"; else the working directory joined with "QimHome"; else
// `previous` stays.
std::string SearchQimHome(const std::string& argument, const SStartEnvironment& env, const std::string& previous);
// QIMINI; else QIMINIHOME joined with "QIM.INI"; else `home` joined with "QIM.INI".
std::string SearchQimIni(const std::string& home, const SStartEnvironment& env);
