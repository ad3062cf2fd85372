#pragma once

#include <string>

namespace telvora {

/// What decides where the data directory is: the running binary's directory and the
/// environment. Empty strings stand for unset variables.
struct DataDirectoryInputs
{
    std::string binaryDirectory;
    std::string telvoraHome; // $TELVORA_HOME
    std::string xdgDataHome; // $XDG_DATA_HOME
    std::string home; // $HOME
    std::string templateDirectory; // $TELVORA_TEMPLATE_DIR

    /// The values of this process: /proc/self/exe's directory and the variables.
    static DataDirectoryInputs FromProcess();
};

/// The program's "application directory": the setup file, the working databases,
/// backupdata/ and the log live here. In order: $TELVORA_HOME; the binary's directory when
/// a ClientSetup.ini stands beside the binary (portable use); $XDG_DATA_HOME/telvora;
/// ~/.local/share/telvora. Also finds the read-only files the program ships (SourceDB.db,
/// mobileArea.db): in $TELVORA_TEMPLATE_DIR, beside the binary or in ../share/telvora/.
class CDataDirectory final
{
public:
    explicit CDataDirectory(DataDirectoryInputs inputs);

    /// Works out the directory, creates it (mode 0700) when missing and checks that it can
    /// be written. False with a readable error text otherwise.
    bool Prepare();

    /// The directory without a trailing slash; empty before a successful Prepare.
    const std::string& GetPath() const { return m_path; }
    /// The directory followed by "/", ready to have a file name appended.
    std::string GetApplicationDirectory() const;
    /// path of a file of the data directory.
    std::string FilePath(const std::string& fileName) const;

    /// The shipped copy of a read-only file, or empty when there is none.
    std::string FindShipped(const std::string& fileName) const;
    /// Makes sure the data directory holds fileName, copying the shipped file when it is
    /// missing there. An existing file is never replaced.
    bool EnsureShippedCopy(const std::string& fileName);

    const std::string& GetLastError() const { return m_lastError; }

private:
    std::string resolve();

    DataDirectoryInputs m_inputs;
    std::string m_path;
    std::string m_lastError;
};

} // namespace telvora
