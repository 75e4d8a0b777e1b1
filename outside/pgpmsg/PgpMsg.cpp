// The PGP message library on GPGME and the user's GnuPG keyring (GNUPGHOME or
// ~/.gnupg): the three entry points, the operations on a mail file, and the
// selection dialogs, which the host fills in through its call-back.
#include <gpgme.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "outside/pgpmsg/PgpMsgApi.h"
#include "outside/pgpmsg/PgpMsgMail.h"

#ifndef PGPMSG_LIBRARY_MAJOR
#error "PGPMSG_LIBRARY_MAJOR and PGPMSG_LIBRARY_MINOR name the library's version"
#endif

#define PGPMSG_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

bool g_ready = false;

// The library's version as PGPMsgInit reports it: major, minor, "GP".
std::uint32_t LibraryVersion() {
    return std::uint32_t(PGPMSG_LIBRARY_MAJOR) << 24 | std::uint32_t(PGPMSG_LIBRARY_MINOR) << 16 | 'G' << 8 | 'P';
}

// Mail files are small; a larger one is refused rather than read whole.
constexpr long kMaxInput = 256L * 1024 * 1024;

bool ReadWhole(const char* path, std::string& data) {
    FILE* fp = std::fopen(path, "rb");
    if (!fp) return false;
    bool ok = std::fseek(fp, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(fp) : -1;
    ok = ok && size >= 0 && size <= kMaxInput && std::fseek(fp, 0, SEEK_SET) == 0;
    if (ok) {
        data.resize(static_cast<std::size_t>(size));
        ok = std::fread(data.data(), 1, data.size(), fp) == data.size();
    }
    std::fclose(fp);
    return ok;
}

bool WriteWhole(const char* path, const std::string& data) {
    FILE* fp = std::fopen(path, "wb");
    if (!fp) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), fp) == data.size();
    ok = std::fclose(fp) == 0 && ok;
    if (!ok) std::remove(path);
    return ok;
}

// A GPGME context with ASCII armour, released with the object.
class Context {
public:
    Context() {
        if (gpgme_new(&ctx_) != 0) ctx_ = nullptr;
        if (!ctx_) return;
        gpgme_set_protocol(ctx_, GPGME_PROTOCOL_OpenPGP);
        gpgme_set_armor(ctx_, 1);
    }
    ~Context() {
        for (gpgme_key_t key : keys_) gpgme_key_unref(key);
        if (ctx_) gpgme_release(ctx_);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    gpgme_ctx_t get() const { return ctx_; }

    // Keys that match `pattern` and can do what is asked; kept until the end.
    std::vector<gpgme_key_t> FindKeys(const char* pattern, bool secret, bool forEncryption) {
        std::vector<gpgme_key_t> found;
        if (gpgme_op_keylist_start(ctx_, pattern, secret ? 1 : 0) != 0) return found;
        gpgme_key_t key;
        while (gpgme_op_keylist_next(ctx_, &key) == 0) {
            const bool usable = !key->revoked && !key->expired && !key->disabled && !key->invalid &&
                                (forEncryption ? key->can_encrypt : (!secret || key->can_sign));
            if (!usable) {
                gpgme_key_unref(key);
                continue;
            }
            found.push_back(key);
            keys_.push_back(key);
        }
        gpgme_op_keylist_end(ctx_);
        return found;
    }

private:
    gpgme_ctx_t ctx_ = nullptr;
    std::vector<gpgme_key_t> keys_;
};

// GPGME data over a copy of `text`, or an empty sink.
class Data {
public:
    Data() { if (gpgme_data_new(&d_) != 0) d_ = nullptr; }
    explicit Data(const std::string& text) {
        if (gpgme_data_new_from_mem(&d_, text.data(), text.size(), 1) != 0) d_ = nullptr;
    }
    ~Data() { if (d_) gpgme_data_release(d_); }
    Data(const Data&) = delete;
    Data& operator=(const Data&) = delete;
    gpgme_data_t get() const { return d_; }
    std::string Take() {
        std::size_t length = 0;
        char* bytes = gpgme_data_release_and_get_mem(d_, &length);
        d_ = nullptr;
        std::string out(bytes ? bytes : "", bytes ? length : 0);
        gpgme_free(bytes);
        return out;
    }

private:
    gpgme_data_t d_ = nullptr;
};

// One selection dialog shown through the host's call-back: it sets caption
// and prompt on the initialisation message and may change the choice.
// Returns the chosen index, or -1 when the host cancelled.
int Select(const PgpMsgRequest& request, int kind, const std::vector<std::string>& items, int preselected) {
    if (!request.callback || items.empty()) return items.empty() ? -1 : preselected;
    std::vector<const char*> pointers;
    for (const std::string& item : items) pointers.push_back(item.c_str());
    PgpMsgDialog dialog{};
    std::snprintf(dialog.caption, sizeof dialog.caption, "%s", kind == PGPMSG_CB_SELECT_KEY ? "Select Key" : "Select Part");
    dialog.itemCount = static_cast<std::uint32_t>(items.size());
    dialog.items = pointers.data();
    dialog.selected = preselected;
    PgpMsgSelectData data{};
    data.operation = request.operation;
    data.dialog = &dialog;
    data.message = PGPMSG_DLG_INIT;
    request.callback(kind, &data);
    data.message = PGPMSG_DLG_CHOOSE;
    data.result = 0;
    request.callback(kind, &data);
    if (dialog.selected < 0 || dialog.selected >= static_cast<int>(items.size())) return -1;
    return dialog.selected;
}

std::string Boundary(const PgpMsgRequest& request) {
    char buffer[PGPMSG_BOUNDARY_SIZE] = {};
    if (request.callback && request.callback(PGPMSG_CB_BOUNDARY, buffer) && buffer[0]) {
        buffer[sizeof buffer - 1] = '\0';
        return buffer;
    }
    char made[PGPMSG_BOUNDARY_SIZE];
    std::snprintf(made, sizeof made, "PgpMsg-%ld=_", static_cast<long>(std::time(nullptr)));
    return made;
}

// The entity that carries an armour block in place of what was protected.
std::string ArmourEntity(const std::string& armour, const std::string& eol) {
    return "Content-Type: text/plain; charset=us-ascii" + eol + "Content-Transfer-Encoding: 7bit" + eol + eol +
           pgpmsg::WithLineEnds(armour, eol);
}

int32_t EngineError(gpgme_error_t err) {
    switch (gpgme_err_code(err)) {
    case GPG_ERR_UNUSABLE_PUBKEY: return PGPMSG_ERR_NO_RECIPIENT;
    case GPG_ERR_UNUSABLE_SECKEY:
    case GPG_ERR_NO_SECKEY: return PGPMSG_ERR_NO_SECRET_KEY;
    case GPG_ERR_CANCELED: return PGPMSG_ERR_CANCELLED;
    default: return PGPMSG_ERR_ENGINE;
    }
}

// The signing key: one of the user's secret keys, the one of the sender's
// address first.
gpgme_key_t Signer(Context& ctx, const pgpmsg::Mail& mail) {
    const std::vector<std::string> from = pgpmsg::Addresses(mail.Field("From"));
    if (!from.empty()) {
        const std::vector<gpgme_key_t> own = ctx.FindKeys(("<" + from[0] + ">").c_str(), true, false);
        if (!own.empty()) return own[0];
    }
    const std::vector<gpgme_key_t> any = ctx.FindKeys(nullptr, true, false);
    return any.empty() ? nullptr : any[0];
}

// Encrypt, sign, or both, on the entity the host selects.
int32_t Protect(const PgpMsgRequest& request, const pgpmsg::Mail& mail, std::string& out) {
    std::vector<std::string> items;
    for (const pgpmsg::Entity& e : mail.Entities()) items.push_back(e.description);
    const int index = Select(request, PGPMSG_CB_SELECT_PART, items, 0);
    if (index < 0) return PGPMSG_ERR_CANCELLED;
    Context ctx;
    if (!ctx.get()) return PGPMSG_ERR_ENGINE;
    const bool encrypt = request.operation != PGPMSG_OP_SIGN;
    const bool sign = request.operation != PGPMSG_OP_ENCRYPT;
    std::vector<gpgme_key_t> recipients;
    if (encrypt) {
        std::vector<std::string> addresses = pgpmsg::Addresses(mail.Field("To"));
        for (const std::string& cc : pgpmsg::Addresses(mail.Field("Cc"))) addresses.push_back(cc);
        if (addresses.empty()) return PGPMSG_ERR_NO_RECIPIENT;
        for (const std::string& address : addresses) {
            const std::vector<gpgme_key_t> keys = ctx.FindKeys(("<" + address + ">").c_str(), false, true);
            if (keys.empty()) return PGPMSG_ERR_NO_RECIPIENT;
            recipients.push_back(keys[0]);
        }
        recipients.push_back(nullptr);
    }
    if (sign) {
        gpgme_key_t signer = Signer(ctx, mail);
        if (!signer || gpgme_signers_add(ctx.get(), signer) != 0) return PGPMSG_ERR_NO_SECRET_KEY;
    }
    Data plain(mail.Entities()[static_cast<std::size_t>(index)].text);
    Data armour;
    if (!plain.get() || !armour.get()) return PGPMSG_ERR_ENGINE;
    gpgme_error_t err;
    if (encrypt && sign)
        err = gpgme_op_encrypt_sign(ctx.get(), recipients.data(), GPGME_ENCRYPT_NO_ENCRYPT_TO, plain.get(), armour.get());
    else if (encrypt)
        err = gpgme_op_encrypt(ctx.get(), recipients.data(), GPGME_ENCRYPT_NO_ENCRYPT_TO, plain.get(), armour.get());
    else
        err = gpgme_op_sign(ctx.get(), plain.get(), armour.get(), GPGME_SIG_MODE_CLEAR);
    if (err) return EngineError(err);
    out = mail.Replace(static_cast<std::size_t>(index), ArmourEntity(armour.Take(), mail.Eol()));
    return PGPMSG_OK;
}

// Every signature of the last operation is good (none at all counts as good).
bool SignaturesGood(gpgme_ctx_t ctx) {
    gpgme_verify_result_t result = gpgme_op_verify_result(ctx);
    if (!result) return true;
    for (gpgme_signature_t sig = result->signatures; sig; sig = sig->next)
        if (gpgme_err_code(sig->status) != GPG_ERR_NO_ERROR) return false;
    return true;
}

// Decrypts or verifies the armour block of the text of one entity; `plain`
// gets the text in its place.
int32_t Unprotect(const std::string& armourText, bool signedOnly, std::string& plain) {
    Context ctx;
    if (!ctx.get()) return PGPMSG_ERR_ENGINE;
    Data in(armourText);
    Data out;
    if (!in.get() || !out.get()) return PGPMSG_ERR_ENGINE;
    gpgme_error_t err = signedOnly ? gpgme_op_verify(ctx.get(), in.get(), nullptr, out.get())
                                   : gpgme_op_decrypt_verify(ctx.get(), in.get(), out.get());
    if (err) {
        if (signedOnly || gpgme_err_code(err) == GPG_ERR_BAD_SIGNATURE) return PGPMSG_ERR_BAD_SIGNATURE;
        return gpgme_err_code(err) == GPG_ERR_NO_DATA ? PGPMSG_ERR_NO_PGP_DATA : PGPMSG_ERR_DECRYPT;
    }
    if (!SignaturesGood(ctx.get())) return PGPMSG_ERR_BAD_SIGNATURE;
    plain = out.Take();
    return PGPMSG_OK;
}

int32_t ImportKeys(const std::string& armour) {
    Context ctx;
    Data keys(armour);
    if (!ctx.get() || !keys.get()) return PGPMSG_ERR_ENGINE;
    if (gpgme_op_import(ctx.get(), keys.get()) != 0) return PGPMSG_ERR_ENGINE;
    gpgme_import_result_t result = gpgme_op_import_result(ctx.get());
    return result && result->considered > 0 && result->not_imported == 0 ? PGPMSG_OK : PGPMSG_ERR_NO_PGP_DATA;
}

// Decrypt or verify: the armoured entity the host selects (when there are
// several) is replaced by its plain text; an attached public key is taken
// into the keyring.
int32_t DecryptOrVerify(const PgpMsgRequest& request, const pgpmsg::Mail& mail, std::string& out) {
    struct Found {
        std::size_t entity, begin, end;
        bool signedOnly;
    };
    std::vector<Found> found;
    std::vector<std::string> items;
    const std::vector<pgpmsg::Entity>& entities = mail.Entities();
    for (std::size_t i = 0; i < entities.size(); ++i) {
        Found f{i, 0, 0, false};
        if (!pgpmsg::FindArmour(entities[i].text, "MESSAGE", f.begin, f.end)) {
            if (!pgpmsg::FindArmour(entities[i].text, "SIGNED MESSAGE", f.begin, f.end)) continue;
            f.signedOnly = true;
        }
        found.push_back(f);
        items.push_back(entities[i].description);
    }
    if (found.empty()) {
        std::size_t begin, end;
        if (!pgpmsg::FindArmour(mail.Raw(), "PUBLIC KEY BLOCK", begin, end)) return PGPMSG_ERR_NO_PGP_DATA;
        const int32_t imported = ImportKeys(mail.Raw().substr(begin, end - begin));
        if (imported == PGPMSG_OK) out = mail.Raw();
        return imported;
    }
    const int choice = found.size() == 1 ? 0 : Select(request, PGPMSG_CB_SELECT_PART, items, 0);
    if (choice < 0) return PGPMSG_ERR_CANCELLED;
    const Found& f = found[static_cast<std::size_t>(choice)];
    const std::string& text = entities[f.entity].text;
    std::string plain;
    const int32_t result = Unprotect(text.substr(f.begin, f.end - f.begin), f.signedOnly, plain);
    if (result != PGPMSG_OK) return result;
    plain = pgpmsg::WithLineEnds(plain, mail.Eol());
    if (pgpmsg::LooksLikeEntity(plain)) {
        out = mail.Replace(f.entity, plain);
    } else {
        // Plain text in place of the block, in the entity that held it.
        out = mail.Replace(f.entity, text.substr(0, f.begin) + plain + text.substr(f.end));
    }
    return PGPMSG_OK;
}

// Attaches one of the user's public keys (chosen with the key dialog) after
// the part the host selects.
int32_t AttachKey(const PgpMsgRequest& request, const pgpmsg::Mail& mail, std::string& out) {
    Context ctx;
    if (!ctx.get()) return PGPMSG_ERR_ENGINE;
    const std::vector<gpgme_key_t> keys = ctx.FindKeys(nullptr, true, false);
    if (keys.empty()) return PGPMSG_ERR_NO_SECRET_KEY;
    std::vector<std::string> items;
    for (gpgme_key_t key : keys)
        items.push_back(std::string(key->uids && key->uids->uid ? key->uids->uid : "") + " " +
                        (key->subkeys && key->subkeys->keyid ? key->subkeys->keyid : ""));
    const int keyIndex = Select(request, PGPMSG_CB_SELECT_KEY, items, 0);
    if (keyIndex < 0) return PGPMSG_ERR_CANCELLED;
    std::vector<std::string> parts;
    for (const pgpmsg::Entity& e : mail.Entities()) parts.push_back(e.description);
    const int after = Select(request, PGPMSG_CB_SELECT_PART, parts, static_cast<int>(parts.size()) - 1);
    if (after < 0) return PGPMSG_ERR_CANCELLED;
    Data exported;
    const char* fpr = keys[static_cast<std::size_t>(keyIndex)]->fpr;
    if (!exported.get() || gpgme_op_export(ctx.get(), fpr, 0, exported.get()) != 0) return PGPMSG_ERR_ENGINE;
    const std::string armour = exported.Take();
    if (armour.empty()) return PGPMSG_ERR_ENGINE;
    const std::string& eol = mail.Eol();
    const std::string entity = "Content-Type: application/pgp-keys" + eol + "Content-Transfer-Encoding: 7bit" + eol +
                               eol + pgpmsg::WithLineEnds(armour, eol);
    out = mail.AddAfter(static_cast<std::size_t>(after), entity, Boundary(request));
    return PGPMSG_OK;
}

}  // namespace

PGPMSG_EXPORT int32_t PGPMsgInit(uint32_t* version) {
    if (!version) return PGPMSG_ERR_REQUEST;
    if ((*version >> 16) != (PGPMSG_INTERFACE_VERSION >> 16)) {
        *version = LibraryVersion();
        return PGPMSG_ERR_VERSION;
    }
    gpgme_check_version(nullptr);
    if (gpgme_engine_check_version(GPGME_PROTOCOL_OpenPGP) != 0) return PGPMSG_ERR_NO_PGP;
    g_ready = true;
    return PGPMSG_OK;
}

PGPMSG_EXPORT int32_t PGPMsgPerform(PgpMsgRequest* request) {
    if (!g_ready) return PGPMSG_ERR_NOT_READY;
    if (!request || request->size < sizeof(PgpMsgRequest)) return PGPMSG_ERR_REQUEST;
    if (request->operation > PGPMSG_OP_ATTACH_KEY) return PGPMSG_ERR_OPERATION;
    if (!request->input || !request->output) return PGPMSG_ERR_REQUEST;
    std::string raw;
    if (!ReadWhole(request->input, raw)) return PGPMSG_ERR_INPUT;
    const pgpmsg::Mail mail(std::move(raw));
    std::string out;
    int32_t result;
    switch (request->operation) {
    case PGPMSG_OP_DECRYPT_VERIFY: result = DecryptOrVerify(*request, mail, out); break;
    case PGPMSG_OP_ATTACH_KEY: result = AttachKey(*request, mail, out); break;
    default: result = Protect(*request, mail, out); break;
    }
    if (result != PGPMSG_OK) return result;
    return WriteWhole(request->output, out) ? PGPMSG_OK : PGPMSG_ERR_OUTPUT;
}

PGPMSG_EXPORT void PGPMsgExit(void) { g_ready = false; }
