/* The interface of the outside PGP message library (libpgpmsg60.so,
 * libpgpmsg55.so): three entry points found by name, the request block of
 * PGPMsgPerform, the call-back and its data, and the result codes. The
 * program and the library both include this header.
 *
 * On this 64-bit platform the request block keeps the order of its fields,
 * window handles and pointers are native pointers, and its size field holds
 * sizeof(PgpMsgRequest) (64 bytes). Paths are the names on disk (the caller
 * converts its own); texts of the selection dialogs are Shift_JIS. The files
 * are mails as stored: CR LF or LF line ends, Shift_JIS text.
 */
#ifndef QIM_PGPMSG_API_H
#define QIM_PGPMSG_API_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The interface level the caller passes to PGPMsgInit. */
#define PGPMSG_INTERFACE_VERSION 0x00040000u

/* Operations of the request block. */
#define PGPMSG_OP_ENCRYPT 0
#define PGPMSG_OP_SIGN 1
#define PGPMSG_OP_ENCRYPT_SIGN 2
#define PGPMSG_OP_DECRYPT_VERIFY 3
#define PGPMSG_OP_ATTACH_KEY 4

/* Results. 0 is success everywhere. */
#define PGPMSG_OK 0
#define PGPMSG_ERR_OPERATION 10001      /* an operation outside 0-4 */
#define PGPMSG_ERR_NOT_READY 10002      /* PGPMsgPerform before PGPMsgInit */
#define PGPMSG_ERR_VERSION 10003        /* the library does not fit; the word holds its version */
#define PGPMSG_ERR_NO_PGP 10004         /* no PGP installation (no usable GnuPG) */
#define PGPMSG_ERR_REQUEST 10005        /* a malformed request block */
#define PGPMSG_ERR_INPUT 10006          /* the input file cannot be read */
#define PGPMSG_ERR_OUTPUT 10007         /* the output file cannot be written */
#define PGPMSG_ERR_NO_RECIPIENT 10008   /* no recipient, or a recipient without a usable key */
#define PGPMSG_ERR_NO_SECRET_KEY 10009  /* no key to sign with or to attach */
#define PGPMSG_ERR_NO_PGP_DATA 10010    /* nothing to decrypt, verify or import */
#define PGPMSG_ERR_DECRYPT 10011        /* decryption failed */
#define PGPMSG_ERR_BAD_SIGNATURE 10012  /* a signature does not verify */
#define PGPMSG_ERR_CANCELLED 10013      /* the call-back declined the selection */
#define PGPMSG_ERR_ENGINE 10014         /* any other failure of the PGP engine */

/* Call-back kinds. */
#define PGPMSG_CB_SELECT_PART 0  /* data: PgpMsgSelectData* */
#define PGPMSG_CB_SELECT_KEY 1   /* data: PgpMsgSelectData* */
#define PGPMSG_CB_BOUNDARY 2     /* data: char[PGPMSG_BOUNDARY_SIZE] to fill */

/* Messages of a selection dialog. */
#define PGPMSG_DLG_INIT 0x0110    /* the dialog is being set up: set caption and prompt */
#define PGPMSG_DLG_CHOOSE 0x0111  /* the choice: the host may change `selected` */
/* The dialog item that shows the prompt. */
#define PGPMSG_ITEM_PROMPT 1000

#define PGPMSG_CAPTION_SIZE 64
#define PGPMSG_PROMPT_SIZE 256
#define PGPMSG_BOUNDARY_SIZE 64

/* A selection dialog of the library: what it offers and what was chosen.
 * The window handle of the selection data points at this. */
typedef struct PgpMsgDialog {
    char caption[PGPMSG_CAPTION_SIZE];
    char prompt[PGPMSG_PROMPT_SIZE]; /* item PGPMSG_ITEM_PROMPT */
    uint32_t itemCount;
    const char* const* items;        /* descriptions of the parts or keys */
    int32_t selected;                /* index into items; -1: none (cancel) */
} PgpMsgDialog;

/* Data of the call-back kinds 0 and 1. */
typedef struct PgpMsgSelectData {
    uint32_t operation;     /* the operation of the request */
    PgpMsgDialog* dialog;   /* the dialog's window handle */
    uint32_t message;       /* PGPMSG_DLG_INIT or PGPMSG_DLG_CHOOSE */
    uint32_t wParam;
    uint32_t lParam;
    int32_t result;         /* set by the host: 1 when it handled the message */
} PgpMsgSelectData;

/* Returns 1 for a handled kind, 0 otherwise. */
typedef int32_t (*PgpMsgCallback)(int32_t kind, void* data);

typedef struct PgpMsgRequest {
    uint32_t size;          /* sizeof(PgpMsgRequest) */
    void* owner;            /* owner window handle, or null */
    uint32_t operation;     /* PGPMSG_OP_... */
    uint32_t reserved1;     /* 0 */
    uint32_t reserved2;     /* 0 */
    const char* input;      /* input file path */
    const char* output;     /* output file path */
    uint32_t reserved3;     /* 0 */
    PgpMsgCallback callback;
} PgpMsgRequest;

typedef int32_t (*PgpMsgInitFunction)(uint32_t* version);
typedef int32_t (*PgpMsgPerformFunction)(PgpMsgRequest* request);
typedef void (*PgpMsgExitFunction)(void);

#define PGPMSG_INIT_NAME "PGPMsgInit"
#define PGPMSG_PERFORM_NAME "PGPMsgPerform"
#define PGPMSG_EXIT_NAME "PGPMsgExit"

#ifdef __cplusplus
}  /* extern "C" */
static_assert(sizeof(void*) != 8 || sizeof(PgpMsgRequest) == 64, "request block layout");
static_assert(sizeof(void*) != 8 || offsetof(PgpMsgRequest, input) == 32, "request block layout");
static_assert(sizeof(void*) != 8 || offsetof(PgpMsgRequest, callback) == 56, "request block layout");
#endif

#endif /* QIM_PGPMSG_API_H */
