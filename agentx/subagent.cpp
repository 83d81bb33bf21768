#include "subagent.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// Net-SNMP's headers, in the order they need one another.
#include <net-snmp/net-snmp-config.h>

#include <net-snmp/net-snmp-includes.h>

#include <net-snmp/agent/net-snmp-agent-includes.h>

#include <net-snmp/agent/agent_callbacks.h>
#include <net-snmp/library/large_fd_set.h>

#include "clock.h"
#include "objects.h"
#include "system.h"

// The name Net-SNMP knows the subagent by (its configuration files', were
// they read).
static const char kName[] = "prp-hsr-agentx";

// The boards served, and their rows as the last answer found them.
static const Watch *served;
static AgentRows rows;
static bool rowsStale = true;

void BoardsStepped(void) { rowsStale = true; }

static void GatherServedRows(void) {
    if (!rowsStale)
        return;
    static const Board *boards[kMostBoards];
    for (int i = 0; i < served->count; i++)
        boards[i] = BoardInOrder(served, i);
    FigureContext context = {served->settings, served->roundMs};
    GatherRows(&rows, boards, served->count, &context);
    rowsStale = false;
}

static void SetValue(netsnmp_variable_list *variable, const ObjectValue &value) {
    switch (value.type) {
    case kInteger32: {
        long number = (long)(int32_t)value.number;
        snmp_set_var_typed_value(variable, ASN_INTEGER, &number, sizeof number);
        break;
    }
    case kCounter32: {
        u_long number = value.number;
        snmp_set_var_typed_value(variable, ASN_COUNTER, &number, sizeof number);
        break;
    }
    case kOctetString:
        snmp_set_var_typed_value(variable, ASN_OCTET_STR, value.text, value.length);
        break;
    }
}

// Answers each request of the lre group from the rows: GET and GETNEXT
// (GETBULK comes as GETNEXTs); every object is read-only.
static int AnswerLre(netsnmp_mib_handler *, netsnmp_handler_registration *,
                     netsnmp_agent_request_info *info, netsnmp_request_info *requests) {
    GatherServedRows();
    for (netsnmp_request_info *request = requests; request != NULL; request = request->next) {
        if (request->processed)
            continue;
        netsnmp_variable_list *variable = request->requestvb;
        static SubId asked[MAX_OID_LEN];
        size_t length = variable->name_length < MAX_OID_LEN ? variable->name_length : MAX_OID_LEN;
        for (size_t i = 0; i < length; i++)
            asked[i] = (SubId)variable->name[i];
        if (info->mode == MODE_GET) {
            ObjectValue value;
            Found found = GetObject(&rows, asked, length, &value);
            if (found == kFoundValue)
                SetValue(variable, value);
            else
                netsnmp_set_request_error(info, request,
                                          found == kNoSuchObject ? SNMP_NOSUCHOBJECT
                                                                 : SNMP_NOSUCHINSTANCE);
        } else if (info->mode == MODE_GETNEXT) {
            static Instance next;
            // None after it here: the variable left as it is sends the
            // master on past the group.
            if (!NextObject(&rows, asked, length, request->inclusive != 0, &next))
                continue;
            oid name[kLongestServedOid];
            for (int i = 0; i < next.length; i++)
                name[i] = next.oid[i];
            snmp_set_var_objid(variable, name, (size_t)next.length);
            SetValue(variable, next.value);
        } else {
            netsnmp_set_request_error(info, request, SNMP_ERR_NOTWRITABLE);
        }
    }
    return SNMP_ERR_NOERROR;
}

// The master's socket, as the lines name it, and room for a line that
// names it, whatever its length.
static const char *socketName = NETSNMP_AGENTX_SOCKET;
static char line[4096 + 128];

// Whether the subagent is registered; and a registration to be said once
// the library has made it (after it says it is connected).
static bool connected, registrationToSay;

static int Connected(int, int, void *, void *) {
    connected = registrationToSay = true;
    return 0;
}

static int Disconnected(int, int, void *, void *) {
    if (!connected)
        return 0;
    connected = false;
    snprintf(line, sizeof line, "the master agent at %s has gone: connecting again every second",
             socketName);
    Say(kPriorityWarning, line);
    return 0;
}

static void SayRegistration(void) {
    if (!registrationToSay)
        return;
    registrationToSay = false;
    snprintf(line, sizeof line, "registered with the master agent at %s", socketName);
    Say(kPriorityInfo, line);
}

// The library's own lines, warnings and worse, each with its priority; a
// line may come in pieces.
static int Logged(int, int, void *argument, void *) {
    const snmp_log_message *message = (const snmp_log_message *)argument;
    static char piece[1024];
    static size_t length;
    for (const char *c = message->msg; *c != '\0'; c++) {
        if (*c != '\n' && length + 1 < sizeof piece) {
            piece[length++] = *c;
            continue;
        }
        if (*c != '\n')
            continue;
        piece[length] = '\0';
        length = 0;
        int priority = message->priority;
        Say(priority <= LOG_ERR ? kPriorityError : kPriorityWarning, piece);
    }
    return 0;
}

bool StartSubagent(const char *socket, const Watch *watch) {
    served = watch;
    if (socket != NULL)
        socketName = socket;
    netsnmp_register_loghandler(NETSNMP_LOGHANDLER_CALLBACK, LOG_WARNING);
    snmp_register_callback(SNMP_CALLBACK_LIBRARY, SNMP_CALLBACK_LOGGING, Logged, NULL);

    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_ROLE, 1);
    // The alarms (pings, connecting again) are run here, between the waits:
    // no SIGALRM interrupts anything.
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_ALARM_DONT_USE_SIG, 1);
    // Nothing read or written on disk: no configuration, no persistent
    // state, no MIB files; a start costs little and a sandbox stays shut.
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    setenv("MIBS", "", 1);
    setenv("MIBDIRS", "", 1);
    // Each attempt to connect would say it failed, every second: the
    // master's coming and going is said once here instead.
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_NO_CONNECTION_WARNINGS, 1);
    if (socket != NULL)
        netsnmp_ds_set_string(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_X_SOCKET, socket);
    snmp_register_callback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_INDEX_START, Connected, NULL);
    snmp_register_callback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_INDEX_STOP, Disconnected,
                           NULL);

    if (init_agent(kName) != 0) {
        Say(kPriorityError, "the SNMP agent library cannot start");
        return false;
    }
    // init_agent sets the ping interval back to none, and without one a
    // master that goes is never looked for again: connect, and look
    // whether the master is there, every second.
    netsnmp_ds_set_int(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_AGENTX_PING_INTERVAL, 1);

    oid root[kLreRootLength];
    for (int i = 0; i < kLreRootLength; i++)
        root[i] = kLreRoot[i];
    netsnmp_handler_registration *registration = netsnmp_create_handler_registration(
        "lre", AnswerLre, root, kLreRootLength, HANDLER_CAN_RONLY);
    if (registration == NULL || netsnmp_register_handler(registration) != MIB_REGISTERED_OK) {
        Say(kPriorityError, "the lre objects cannot be registered");
        return false;
    }
    init_snmp(kName); // connects, or sets an alarm to try again
    if (!connected) {
        snprintf(line, sizeof line, "no master agent at %s yet: connecting every second",
                 socketName);
        Say(kPriorityNotice, line);
    }
    SayRegistration();
    return true;
}

void ServeUntil(uint64_t dueMs) {
    // Sets that grow past FD_SETSIZE: each board's block holds a
    // descriptor, so the master's socket may come after a thousand of them.
    static netsnmp_large_fd_set readers;
    static bool made;
    if (!made) {
        netsnmp_large_fd_set_init(&readers, FD_SETSIZE);
        made = true;
    }
    for (;;) {
        uint64_t now = MonotonicMilliseconds();
        if (now >= dueMs || EndRequested())
            return;
        uint64_t wait = dueMs - now;
        int count = 0, block = 0;
        NETSNMP_LARGE_FD_ZERO(&readers);
        struct timeval timeout = {(time_t)(wait / 1000), (suseconds_t)(wait % 1000 * 1000)};
        // The library's sockets, and its timeout when it comes before ours.
        snmp_select_info2(&count, &readers, &timeout, &block);
        int ready = netsnmp_large_fd_set_select(count, &readers, NULL, NULL, &timeout);
        if (ready > 0)
            snmp_read2(&readers);
        else if (ready == 0 || errno != EINTR)
            snmp_timeout(); // a socket closed meanwhile: the library finds out
        run_alarms();
        netsnmp_check_outstanding_agent_requests();
        SayRegistration();
    }
}

void EndSubagent(void) { snmp_shutdown(kName); }
