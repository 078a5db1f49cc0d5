#include "testserverthread.h"

TestServerThread::TestServerThread(const std::function<void(TestHttpServer &server)> &setUp)
{
    m_thread.start();
    m_context.moveToThread(&m_thread);
    QMetaObject::invokeMethod(
        &m_context,
        [this, &setUp] {
            m_server = new TestHttpServer;
            m_server->start();
            setUp(*m_server);
            m_address = m_server->baseAddress();
        },
        Qt::BlockingQueuedConnection);
}

TestServerThread::~TestServerThread()
{
    QMetaObject::invokeMethod(
        &m_context, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}
