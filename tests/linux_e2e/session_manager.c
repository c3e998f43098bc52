/* A session manager that speaks XSMP through libSM, as ksmserver and xfce4-session do, for one
   client: it asks the client to save its state as soon as it registers, prints the CARD8
   properties the client sets ("RestartStyleHint 3") and ends when the client has saved.
   First line of its output: the address to give the client in SESSION_MANAGER. */
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int saved;

static Status RegisterClient(SmsConn client, SmPointer data, char* previous_id) {
  (void)data;
  if (!SmsRegisterClientReply(client, previous_id ? previous_id : SmsGenerateClientID(client))) {
    return 0;
  }
  SmsSaveYourself(client, SmSaveLocal, False, SmInteractStyleNone, False);
  return 1;
}

static void SetProperties(SmsConn client, SmPointer data, int count, SmProp** properties) {
  (void)client, (void)data;
  for (int i = 0; i < count; ++i) {
    if (strcmp(properties[i]->type, SmCARD8) == 0 && properties[i]->num_vals == 1) {
      printf("%s %d\n", properties[i]->name, *(unsigned char*)properties[i]->vals[0].value);
    }
    SmFreeProperty(properties[i]);
  }
  free(properties);
}

static void SaveYourselfDone(SmsConn client, SmPointer data, Bool success) {
  (void)data;
  SmsSaveComplete(client);
  saved = success ? 1 : -1;
}

static void SaveYourselfPhase2Request(SmsConn client, SmPointer data) {
  (void)data;
  SmsSaveYourselfPhase2(client);
}

static void GetProperties(SmsConn client, SmPointer data) {
  (void)data;
  SmsReturnProperties(client, 0, NULL);
}

static void CloseConnection(SmsConn client, SmPointer data, int count, char** reasons) {
  (void)client, (void)data, (void)count, (void)reasons;
  saved = -1;
}

static void Ignore() {}

static Status NewClient(SmsConn client, SmPointer data, unsigned long* mask,
                        SmsCallbacks* callbacks, char** failure) {
  (void)client, (void)data, (void)failure;
  memset(callbacks, 0, sizeof *callbacks);
  *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
          SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask |
          SmsSaveYourselfDoneProcMask | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask |
          SmsDeletePropertiesProcMask | SmsGetPropertiesProcMask;
  callbacks->register_client.callback = RegisterClient;
  callbacks->interact_request.callback = (SmsInteractRequestProc)Ignore;
  callbacks->interact_done.callback = (SmsInteractDoneProc)Ignore;
  callbacks->save_yourself_request.callback = (SmsSaveYourselfRequestProc)Ignore;
  callbacks->save_yourself_phase2_request.callback = SaveYourselfPhase2Request;
  callbacks->save_yourself_done.callback = SaveYourselfDone;
  callbacks->close_connection.callback = CloseConnection;
  callbacks->set_properties.callback = SetProperties;
  callbacks->delete_properties.callback = (SmsDeletePropertiesProc)Ignore;
  callbacks->get_properties.callback = GetProperties;
  return 1;
}

/* The test's client has no ICE authority file: it is let in by its local transport, where
   only this machine's processes can connect (libICE also listens on TCP). */
static Bool LocalHost(char* host) {
  return strncmp(host, "local/", 6) == 0 || strncmp(host, "unix/", 5) == 0;
}

int main(void) {
  char error[256];
  int count;
  IceListenObj* listeners;
  if (!SmsInitialize("lumivo-test", "1.0", NewClient, NULL, LocalHost, sizeof error, error) ||
      !IceListenForConnections(&count, &listeners, sizeof error, error) || count < 1) {
    fprintf(stderr, "session_manager: %s\n", error);
    return 1;
  }
  IceListenObj local = NULL;
  for (int i = 0; i < count && !local; ++i) {
    char* address = IceGetListenConnectionString(listeners[i]);
    if (LocalHost(address)) local = listeners[i];
    free(address);
  }
  if (!local) {
    fprintf(stderr, "session_manager: no local transport\n");
    return 1;
  }
  IceSetHostBasedAuthProc(local, LocalHost);
  printf("%s\n", IceComposeNetworkIdList(1, &local));
  fflush(stdout);

  IceConn connection = NULL;
  while (saved == 0) {
    struct pollfd ready = {
        connection ? IceConnectionNumber(connection) : IceGetListenConnectionNumber(local), POLLIN,
        0};
    if (poll(&ready, 1, 60000) != 1) {
      fprintf(stderr, "session_manager: no client\n");
      return 1;
    }
    if (!connection) {
      IceAcceptStatus status;
      connection = IceAcceptConnection(local, &status);
      if (!connection) return 1;
    } else if (IceProcessMessages(connection, NULL, NULL) == IceProcessMessagesIOError) {
      return 1;
    }
  }
  fflush(stdout);
  return saved == 1 ? 0 : 1;
}
