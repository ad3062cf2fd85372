#pragma once

#include <optional>
#include <string>

namespace telvora {

/// The desktop's secret store (the Secret Service, through libsecret) for remembered login
/// passwords, one item per account and user. Where none runs, or it refuses an item,
/// callers keep the password where they always did.
class CPasswordVault final
{
public:
    /// Looks once whether a Secret Service answers on the session bus.
    CPasswordVault();

    bool IsAvailable() const { return m_available; }
    /// user "" is the main user, like "admin". False when the store refused it.
    bool Store(const std::string& account, const std::string& user, const std::string& password);
    /// The stored password; nothing when there is none or no store.
    std::optional<std::string> Lookup(const std::string& account, const std::string& user) const;
    void Clear(const std::string& account, const std::string& user);

private:
    bool m_available = false;
};

} // namespace telvora
