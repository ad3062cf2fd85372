#include "app/PasswordVault.h"

#include "app/AppConstants.h"

#include <libsecret/secret.h>

namespace telvora {

namespace {

const SecretSchema* schema()
{
    static const SecretSchema passwords = {"org.telvora.Password", SECRET_SCHEMA_NONE,
        {
            {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {"user", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
        },
        0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    return &passwords;
}

} // namespace

CPasswordVault::CPasswordVault()
{
    // A lookup answered, found or not, shows a store is there; no bus, or none on it, errs.
    GError* error = nullptr;
    gchar* found = secret_password_lookup_sync(
        schema(), nullptr, &error, "account", "", "user", "", static_cast<const char*>(nullptr));
    m_available = error == nullptr;
    if (error) {
        g_error_free(error);
    }
    secret_password_free(found);
}

bool CPasswordVault::Store(const std::string& account, const std::string& user, const std::string& password)
{
    if (!m_available) {
        return false;
    }
    GError* error = nullptr;
    const std::string label = "Telvora " + account + "/" + AccountUserName(user);
    const gboolean stored = secret_password_store_sync(schema(), SECRET_COLLECTION_DEFAULT, label.c_str(),
        password.c_str(), nullptr, &error, "account", account.c_str(), "user", AccountUserName(user).c_str(),
        static_cast<const char*>(nullptr));
    if (error) {
        g_error_free(error);
    }
    return stored;
}

std::optional<std::string> CPasswordVault::Lookup(const std::string& account, const std::string& user) const
{
    if (!m_available) {
        return std::nullopt;
    }
    GError* error = nullptr;
    gchar* found = secret_password_lookup_sync(schema(), nullptr, &error, "account", account.c_str(), "user",
        AccountUserName(user).c_str(), static_cast<const char*>(nullptr));
    if (error) {
        g_error_free(error);
    }
    std::optional<std::string> password;
    if (found) {
        password = found;
    }
    secret_password_free(found);
    return password;
}

void CPasswordVault::Clear(const std::string& account, const std::string& user)
{
    if (!m_available) {
        return;
    }
    GError* error = nullptr;
    secret_password_clear_sync(schema(), nullptr, &error, "account", account.c_str(), "user",
        AccountUserName(user).c_str(), static_cast<const char*>(nullptr));
    if (error) {
        g_error_free(error);
    }
}

} // namespace telvora
